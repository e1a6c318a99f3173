#include "platform/graphics/bitmap.h"
#include "platform/forms/application.h"
#include "platform/widgets/control.h"
#include "platform/widgets/mainmenu.h"
#include "platform/widgets/menuitem.h"
#include "platform/widgets/userinput.h"

#include "platform/win32/winwindowpeer.h"

#include <cstring>

namespace {

W32HWND WindowOf(TControl& Control)
{
    Control.HandleNeeded();
    return Control.Peer() ? ToHwnd(Control.Peer()->Widget()) : nullptr;
}

} // namespace

bool SimulateClick(TControl& Control)
{
    W32HWND window = WindowOf(Control);
    if (!window)
        return false;
    RECT client{};
    GetClientRect(window, &client);
    const LPARAM middle = MAKELPARAM(client.right / 2, client.bottom / 2);
    SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, middle);
    SendMessageW(window, WM_LBUTTONUP, 0, middle);
    return true;
}

bool SimulateKey(TControl& Control, int VirtualKey)
{
    W32HWND window = WindowOf(Control);
    if (!window)
        return false;
    // Through the message loop, where the form looks at keys first.
    PostMessageW(window, WM_KEYDOWN, static_cast<WPARAM>(VirtualKey), 0);
    PostMessageW(window, WM_KEYUP, static_cast<WPARAM>(VirtualKey), 0);
    Application.ProcessMessages();
    return true;
}

bool SimulateMenuClick(TMenuItem& Item)
{
    TMainMenu* menu = Item.Menu();
    if (!menu || !menu->HandleAllocated())
        return false;
    return menu->Peer().Trigger(Item);
}

bool CaptureControl(TControl& Control, TBitmap& Picture)
{
    W32HWND window = WindowOf(Control);
    if (!window)
        return false;
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right;
    const int height = client.bottom;
    Picture.SetSize(width, height);
    if (width <= 0 || height <= 0)
        return true;
    HDC screen = GetDC(window);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    std::memcpy(Picture.Bits(), bits, static_cast<size_t>(width) * static_cast<size_t>(height) * sizeof(uint32_t));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, screen);
    return true;
}
