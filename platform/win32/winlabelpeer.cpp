#include "platform/widgets/label.h"

#include "platform/win32/widetext.h"
#include "platform/win32/winfont.h"
#include "platform/win32/winguard.h"
#include "platform/win32/winpaintwindow.h"
#include "platform/win32/winwindowpeer.h"

namespace {

const wchar_t* const kClassName = L"QuimbrelLabel";
constexpr TColor kDisabledTextColor = clGray; // text of a disabled label

// The label's window draws its lines over what its parent shows (the
// parent's own picture, where the program paints the parent); a click runs
// the label's click behaviour.
class TWinLabelPeer : public TWinWindowPeer, public TLabelPeer {
public:
    explicit TWinLabelPeer(TLabel* Label) : TWinWindowPeer(CreateChild(RegisterLabelClass(), 0)), FLabel(Label)
    {
        SetWindowLongPtrW(Handle(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    // The window outlives this part of the peer: what it still receives must not reach it.
    ~TWinLabelPeer() override { SetWindowLongPtrW(Handle(), GWLP_USERDATA, 0); }

    void SetLines(const std::vector<std::string>& Lines, TAlignment Alignment, int LineHeight) override
    {
        FLines.clear();
        for (const std::string& line : Lines)
            FLines.push_back(WideText(line));
        FAlignment = Alignment;
        FLineHeight = LineHeight;
        InvalidateRect(Handle(), nullptr, TRUE);
    }
    void SetFont(const TFont& Font) override
    {
        TWinWindowPeer::SetFont(Font);
        InvalidateRect(Handle(), nullptr, TRUE);
    }

private:
    static const wchar_t* RegisterLabelClass()
    {
        static const bool registered = [] {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = WindowProc;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            windowClass.lpszClassName = kClassName;
            return RegisterClassExW(&windowClass) != 0;
        }();
        (void)registered;
        return kClassName;
    }

    static LRESULT CALLBACK WindowProc(W32HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
    {
        auto* self = reinterpret_cast<TWinLabelPeer*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
        switch (Msg) {
        case WM_PAINT:
            if (self) {
                self->Paint();
                return 0;
            }
            break;
        case WM_ERASEBKGND: return 1;
        case WM_LBUTTONUP:
            if (self)
                Guarded(self->FLabel, [self]() { self->FLabel->Click(); });
            return 0;
        case WM_SETCURSOR:
            if (LOWORD(LParam) == HTCLIENT && TWinWindowPeer::ApplyCursor(Window))
                return TRUE;
            break;
        default: break;
        }
        return DefWindowProcW(Window, Msg, WParam, LParam);
    }

    void Paint()
    {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(Handle(), &paint);
        RECT client{};
        GetClientRect(Handle(), &client);
        PaintBackground(dc, client);
        SelectObject(dc, GdiFont(Font()));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, IsWindowEnabled(Handle()) ? Font().Color : kDisabledTextColor);
        int top = 0;
        for (const std::wstring& line : FLines) {
            SIZE extent{};
            GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &extent);
            TextOutW(dc, LineLeft(client.right, extent.cx), top, line.c_str(), static_cast<int>(line.size()));
            top += FLineHeight;
        }
        EndPaint(Handle(), &paint);
    }

    // The parent's picture behind the label, or the parent's colour.
    void PaintBackground(HDC DC, const RECT& Client)
    {
        W32HWND parent = GetParent(Handle());
        const TWinControl* painter = PaintWindowControl(parent);
        if (painter && !painter->Surface().Empty()) {
            POINT origin{0, 0};
            MapWindowPoints(Handle(), parent, &origin, 1);
            ShowSurface(DC, painter->Surface(), origin.x, origin.y, Client.right, Client.bottom);
            return;
        }
        // The peer's own brush of that colour, kept between paints.
        FillRect(DC, &Client, reinterpret_cast<HBRUSH>(ControlColor(DC)));
    }

    int LineLeft(int Width, int LineWidth) const
    {
        switch (FAlignment) {
        case TAlignment::taRightJustify: return Width - LineWidth;
        case TAlignment::taCenter: return (Width - LineWidth) / 2;
        default: return 0;
        }
    }

    TLabel* FLabel;
    std::vector<std::wstring> FLines;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    int FLineHeight = 0;
};

} // namespace

std::unique_ptr<TControlPeer> CreateLabelPeer(TLabel* Label)
{
    Application.Peer();
    return std::make_unique<TWinLabelPeer>(Label);
}
