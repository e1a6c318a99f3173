#include "platform/win32/winpaintwindow.h"

#include "platform/win32/winguard.h"
#include "platform/win32/winwindowpeer.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

const wchar_t* const kClassName = L"QuimbrelPaintWindow";

struct TPaintWindowData {
    TWinControl* Control = nullptr;
    TPaintWindowHook Hook;
};

TPaintWindowData* DataOf(W32HWND Window)
{
    return reinterpret_cast<TPaintWindowData*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
}

void Paint(W32HWND Window, TWinControl* Control)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Window, &paint);
    if (Control) {
        Guarded(Control, [Control]() { Control->PaintHandler(); });
        const TBitmap& surface = Control->Surface();
        ShowSurface(dc, surface, 0, 0, surface.Width(), surface.Height());
    }
    EndPaint(Window, &paint);
}

LRESULT CALLBACK PaintWindowProc(W32HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    TPaintWindowData* data = DataOf(Window);
    LRESULT result = 0;
    if (data && data->Hook && data->Hook(Msg, WParam, LParam, result))
        return result;
    if (TWinWindowPeer::Reflect(Msg, WParam, LParam, result))
        return result;
    TWinControl* control = data ? data->Control : nullptr;
    switch (Msg) {
    case WM_PAINT: Paint(Window, control); return 0;
    case WM_ERASEBKGND: return control ? 1 : DefWindowProcW(Window, Msg, WParam, LParam);
    case WM_LBUTTONUP:
        if (control)
            Guarded(control, [control]() { control->Click(); });
        return 0;
    case WM_SETCURSOR:
        if (reinterpret_cast<W32HWND>(WParam) == Window && LOWORD(LParam) == HTCLIENT &&
            TWinWindowPeer::ApplyCursor(Window))
            return TRUE;
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
        delete data;
        break;
    default: break;
    }
    return DefWindowProcW(Window, Msg, WParam, LParam);
}

void RegisterPaintWindowClass()
{
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = PaintWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

} // namespace

W32HWND CreatePaintWindow(TWinControl* Control, DWORD Style, DWORD ExStyle, W32HWND Parent)
{
    RegisterPaintWindowClass();
    W32HWND window = CreateWindowExW(ExStyle, kClassName, L"", Style, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, Parent,
                                     nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window)
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TPaintWindowData{Control, {}}));
    return window;
}

void SetPaintWindowHook(W32HWND Window, TPaintWindowHook Hook)
{
    if (TPaintWindowData* data = DataOf(Window))
        data->Hook = std::move(Hook);
}

TWinControl* PaintWindowControl(W32HWND Window)
{
    wchar_t name[64] = {};
    if (!Window || !GetClassNameW(Window, name, 64) || std::wcscmp(name, kClassName) != 0)
        return nullptr;
    const TPaintWindowData* data = DataOf(Window);
    return data ? data->Control : nullptr;
}

void ShowSurface(HDC DC, const TBitmap& Surface, int SourceX, int SourceY, int Width, int Height)
{
    if (Surface.Empty() || Width <= 0 || Height <= 0)
        return;
    const int width = std::min(Width, Surface.Width() - SourceX);
    const int height = std::min(Height, Surface.Height() - SourceY);
    if (width <= 0 || height <= 0 || SourceX < 0 || SourceY < 0)
        return;
    // GDI is given the surface from the first row wanted on, at its full
    // width (32-bit rows need no padding), and takes the columns from SourceX.
    const uint32_t* bits = Surface.Bits() + static_cast<size_t>(SourceY) * static_cast<size_t>(Surface.Width());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = Surface.Width();
    info.bmiHeader.biHeight = -height; // rows top to bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(DC, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), SourceX, 0, 0,
                      static_cast<UINT>(height), bits, &info, DIB_RGB_COLORS);
}
