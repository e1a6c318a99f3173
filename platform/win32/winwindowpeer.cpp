#include "platform/win32/winwindowpeer.h"

#include "platform/widgets/control.h"
#include "platform/win32/widetext.h"
#include "platform/win32/winfont.h"
#include "platform/win32/winpaintwindow.h"

namespace {

const wchar_t* const kPeerProperty = L"QuimbrelPeer";

} // namespace

W32HWND ToHwnd(TWidgetHandle Handle)
{
    return reinterpret_cast<W32HWND>(Handle);
}

TWidgetHandle ToWidgetHandle(W32HWND Window)
{
    return reinterpret_cast<TWidgetHandle>(Window);
}

W32HWND ParkingWindow()
{
    static W32HWND parking = CreatePaintWindow(nullptr, WS_OVERLAPPED | WS_CLIPCHILDREN, 0, nullptr);
    return parking;
}

TWinWindowPeer::TWinWindowPeer(W32HWND Window) : FWindow(Window)
{
    if (FWindow)
        SetPropW(FWindow, kPeerProperty, this);
}

TWinWindowPeer::~TWinWindowPeer()
{
    if (FWindow) {
        RemovePropW(FWindow, kPeerProperty);
        DestroyWindow(FWindow);
    }
    if (FBrush)
        DeleteObject(FBrush);
}

TWinWindowPeer* TWinWindowPeer::FromHandle(W32HWND Window)
{
    return Window ? static_cast<TWinWindowPeer*>(GetPropW(Window, kPeerProperty)) : nullptr;
}

W32HWND TWinWindowPeer::CreateChild(const wchar_t* ClassName, DWORD Style, DWORD ExStyle)
{
    return CreateWindowExW(ExStyle, ClassName, L"", Style | WS_CHILD, 0, 0, 0, 0, ParkingWindow(), nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

bool TWinWindowPeer::Reflect(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result)
{
    switch (Msg) {
    case WM_COMMAND:
        if (TWinWindowPeer* peer = FromHandle(reinterpret_cast<W32HWND>(LParam))) {
            peer->Command(HIWORD(WParam));
            Result = 0;
            return true;
        }
        return false;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (TWinWindowPeer* peer = FromHandle(reinterpret_cast<W32HWND>(LParam))) {
            peer->Scrolled();
            Result = 0;
            return true;
        }
        return false;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (TWinWindowPeer* peer = FromHandle(reinterpret_cast<W32HWND>(LParam))) {
            Result = peer->ControlColor(reinterpret_cast<HDC>(WParam));
            return true;
        }
        return false;
    default: return false;
    }
}

bool TWinWindowPeer::ApplyCursor(W32HWND Window)
{
    const TWinWindowPeer* peer = FromHandle(Window);
    const wchar_t* shape = nullptr;
    switch (peer ? peer->FCursor : 0) {
    case crHandPoint: shape = IDC_HAND; break;
    case crIBeam: shape = IDC_IBEAM; break;
    case crHourGlass: shape = IDC_WAIT; break;
    default: return false;
    }
    ::SetCursor(LoadCursorW(nullptr, shape));
    return true;
}

LRESULT TWinWindowPeer::ControlColor(HDC DC)
{
    if (!FBrush)
        FBrush = CreateSolidBrush(FColor);
    SetTextColor(DC, FFont.Color);
    SetBkColor(DC, FColor);
    return reinterpret_cast<LRESULT>(FBrush);
}

void TWinWindowPeer::SetParentPeer(TControlPeer* Parent)
{
    if (!FWindow)
        return;
    W32HWND parent = Parent ? ToHwnd(Parent->ClientWidget()) : nullptr;
    if (!parent) {
        // Without a parent the control waits, hidden, in the parking window.
        ShowWindow(FWindow, SW_HIDE);
        parent = ParkingWindow();
    }
    if (GetParent(FWindow) != parent)
        ::SetParent(FWindow, parent);
    if (parent != ParkingWindow())
        ShowWindow(FWindow, FVisible ? SW_SHOWNA : SW_HIDE);
}

void TWinWindowPeer::SetBounds(int Left, int Top, int Width, int Height)
{
    if (FWindow)
        SetWindowPos(FWindow, nullptr, Left, Top, Width > 0 ? Width : 0, Height > 0 ? Height : 0,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWinWindowPeer::SetVisible(bool Visible)
{
    FVisible = Visible;
    if (FWindow && (GetParent(FWindow) != ParkingWindow() || !Visible))
        ShowWindow(FWindow, Visible ? SW_SHOWNA : SW_HIDE);
}

void TWinWindowPeer::SetEnabled(bool Enabled)
{
    if (FWindow)
        EnableWindow(FWindow, Enabled ? TRUE : FALSE);
}

void TWinWindowPeer::SetText(const std::string& Text)
{
    if (FWindow)
        SetWindowTextW(FWindow, WideText(Text).c_str());
}

void TWinWindowPeer::SetFont(const TFont& Font)
{
    FFont = Font;
    if (FWindow)
        SendMessageW(FWindow, WM_SETFONT, reinterpret_cast<WPARAM>(GdiFont(Font)), TRUE);
}

void TWinWindowPeer::SetColor(TColor Color)
{
    if (Color == FColor)
        return;
    FColor = Color;
    if (FBrush)
        DeleteObject(FBrush);
    FBrush = nullptr;
}

void TWinWindowPeer::SetHint(const std::string&, bool) {}

void TWinWindowPeer::SetCursor(int Cursor)
{
    FCursor = Cursor;
}

void TWinWindowPeer::Invalidate(const TRect& Area)
{
    const RECT area{Area.Left, Area.Top, Area.Right, Area.Bottom};
    if (FWindow)
        InvalidateRect(FWindow, &area, FALSE);
}

void TWinWindowPeer::Update()
{
    if (FWindow && IsWindowVisible(FWindow))
        UpdateWindow(FWindow);
}

bool TWinWindowPeer::Showing() const
{
    return FWindow && IsWindowVisible(FWindow);
}

void TWinWindowPeer::BringToFront()
{
    if (FWindow)
        SetWindowPos(FWindow, static_cast<W32HWND>(nullptr), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TWidgetHandle TWinWindowPeer::Widget() const
{
    return ToWidgetHandle(FWindow);
}
