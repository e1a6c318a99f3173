#include "platform/forms/form.h"
#include "platform/kernel/resources.h"
#include "platform/widgets/customcontrol.h"

#include "platform/win32/winguard.h"
#include "platform/win32/winicon.h"
#include "platform/win32/winmainmenu.h"
#include "platform/win32/winpaintwindow.h"
#include "platform/win32/winwindowpeer.h"

#include <vector>

namespace {

constexpr DWORD kFixedFrame = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;

// A form's window: a top-level paint window, the menu bar in its frame, its
// controls in its client area.
class TWinFormPeer : public TWinWindowPeer, public TFormPeer {
public:
    explicit TWinFormPeer(TForm* Form)
        : TWinWindowPeer(CreatePaintWindow(Form, kFixedFrame | WS_SYSMENU, WS_EX_CONTROLPARENT, OwnerWindow(Form))),
          FForm(Form)
    {
        SetPaintWindowHook(Handle(), [this](UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result) {
            return Handle_(Msg, WParam, LParam, Result);
        });
    }

    ~TWinFormPeer() override
    {
        // The window outlives this part of the peer: what it still sends must not reach it.
        SetPaintWindowHook(Handle(), nullptr);
        SetMenu(Handle(), nullptr); // the menu's peer destroys its menu
        if (FIcon) {
            // The frame lets go of the icon before it goes.
            SendMessageW(Handle(), WM_SETICON, ICON_BIG, 0);
            SendMessageW(Handle(), WM_SETICON, ICON_SMALL, 0);
            DestroyIcon(FIcon);
        }
    }

    // TControlPeer, through the window peer.
    void SetParentPeer(TControlPeer*) override {}
    void SetBounds(int Left, int Top, int Width, int Height) override
    {
        FClientWidth = Width;
        FClientHeight = Height;
        SetWindowPos(Handle(), nullptr, Left, Top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        ApplySize();
    }
    void SetVisible(bool Visible) override
    {
        ShowWindow(Handle(), Visible ? SW_SHOW : SW_HIDE);
        if (Visible)
            SetForegroundWindow(Handle());
    }
    void SetEnabled(bool Enabled) override { TWinWindowPeer::SetEnabled(Enabled); }
    void SetText(const std::string& Text) override { TWinWindowPeer::SetText(Text); }
    void SetFont(const TFont& Font) override { TWinWindowPeer::SetFont(Font); }
    void SetColor(TColor Color) override { TWinWindowPeer::SetColor(Color); }
    void SetHint(const std::string& Hint, bool Show) override { TWinWindowPeer::SetHint(Hint, Show); }
    void SetCursor(int Cursor) override { TWinWindowPeer::SetCursor(Cursor); }
    void Invalidate(const TRect& Area) override { TWinWindowPeer::Invalidate(Area); }
    void Update() override { TWinWindowPeer::Update(); }
    bool Showing() const override { return TWinWindowPeer::Showing(); }
    void BringToFront() override { SetForegroundWindow(Handle()); }
    TWidgetHandle Widget() const override { return TWinWindowPeer::Widget(); }

    // TFormPeer.
    int MenuHeight() const override
    {
        if (!GetMenu(Handle()))
            return 0;
        MENUBARINFO bar{};
        bar.cbSize = sizeof bar;
        if (GetMenuBarInfo(Handle(), OBJID_MENU, 0, &bar))
            return bar.rcBar.bottom - bar.rcBar.top;
        return GetSystemMetrics(SM_CYMENU);
    }
    void SetBorder(bool Sizeable, bool SystemMenu, bool Minimize, bool Maximize) override
    {
        DWORD style = kFixedFrame;
        style |= SystemMenu ? WS_SYSMENU : 0;
        style |= Minimize ? WS_MINIMIZEBOX : 0;
        style |= Maximize ? WS_MAXIMIZEBOX : 0;
        style |= Sizeable ? WS_THICKFRAME : 0;
        style |= GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_VISIBLE;
        SetWindowLongPtrW(Handle(), GWL_STYLE, static_cast<LONG_PTR>(style));
        ApplySize();
    }
    void SetModal(bool Modal) override
    {
        // The other windows of the program take no input while a modal one shows.
        if (Modal) {
            EnumThreadWindows(GetCurrentThreadId(), DisableOther, reinterpret_cast<LPARAM>(this));
        } else {
            for (W32HWND window : FDisabled)
                if (IsWindow(window))
                    EnableWindow(window, TRUE);
            FDisabled.clear();
        }
    }
    void CenterOnScreen() override
    {
        RECT area{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        RECT frame{};
        GetWindowRect(Handle(), &frame);
        const int width = frame.right - frame.left;
        const int height = frame.bottom - frame.top;
        SetWindowPos(Handle(), nullptr, area.left + (area.right - area.left - width) / 2,
                     area.top + (area.bottom - area.top - height) / 2, 0, 0,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
    }
    void SetWindowIcon(const std::string& ResourceName) override
    {
        HICON icon = CreateIconFromResourceImage(ResourceName);
        if (!icon)
            return;
        SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
        if (FIcon)
            DestroyIcon(FIcon);
        FIcon = icon;
    }
    void SetMenuWidget(TWidgetHandle MenuWidget) override
    {
        SetMenu(Handle(), reinterpret_cast<HMENU>(MenuWidget));
        ApplySize();
    }

private:
    static W32HWND OwnerWindow(TForm* Form)
    {
        TForm* main = Application.MainForm();
        if (!main || main == Form || !main->HandleAllocated() || !main->Peer())
            return nullptr;
        return ToHwnd(main->Peer()->Widget());
    }

    static BOOL CALLBACK DisableOther(W32HWND Window, LPARAM Self)
    {
        auto* self = reinterpret_cast<TWinFormPeer*>(Self);
        if (Window != self->Handle() && IsWindowVisible(Window) && IsWindowEnabled(Window) &&
            PaintWindowControl(Window)) {
            EnableWindow(Window, FALSE);
            self->FDisabled.push_back(Window);
        }
        return TRUE;
    }

    bool Handle_(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result)
    {
        switch (Msg) {
        case WM_CLOSE:
            // The form decides: its close query may refuse, and closing only hides it.
            Guarded(FForm, [this]() { FForm->Close(); });
            Result = 0;
            return true;
        case WM_COMMAND:
            if (LParam == 0 && HIWORD(WParam) == 0 && ChooseMenuCommand(LOWORD(WParam))) {
                Result = 0;
                return true;
            }
            return false;
        default: return false;
        }
    }

    // The window's frame around a client area of the form's size, below the menu bar.
    void ApplySize()
    {
        const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_STYLE));
        const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(Handle(), GWL_EXSTYLE));
        RECT frame{0, 0, FClientWidth, FClientHeight};
        AdjustWindowRectEx(&frame, style, GetMenu(Handle()) != nullptr, exStyle);
        const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE | SWP_FRAMECHANGED;
        SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, flags);
        // A menu bar that wraps takes more than one line: the frame grows by the difference.
        RECT client{};
        GetClientRect(Handle(), &client);
        const int missing = FClientHeight - (client.bottom - client.top);
        if (missing > 0 && GetMenu(Handle()))
            SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top + missing, flags);
    }

    TForm* FForm;
    int FClientWidth = 0;
    int FClientHeight = 0;
    HICON FIcon = nullptr;
    std::vector<W32HWND> FDisabled; // windows disabled while this one is modal
};

} // namespace

std::unique_ptr<TFormPeer> CreateFormPeer(TForm* Form)
{
    Application.Peer();
    return std::make_unique<TWinFormPeer>(Form);
}

std::unique_ptr<TControlPeer> CreateCustomControlPeer(TWinControl* Control)
{
    Application.Peer();
    return std::make_unique<TWinWindowPeer>(
        CreatePaintWindow(Control, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, ParkingWindow()));
}
