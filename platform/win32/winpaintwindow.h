#pragma once
// The window class of the windows that the program paints itself: custom
// controls, and forms. WM_PAINT runs the control's paint handler and puts
// its 32-bit surface on the screen with SetDIBitsToDevice; a left click runs
// the control's click behaviour; notifications of child controls go back to
// their peers. A form adds its own handling through a hook.

#include "platform/widgets/wincontrol.h"

#include "platform/win32/winapi.h"

#include <functional>

// Handles a message before the paint window does; true when it answered it, with Result.
using TPaintWindowHook = std::function<bool(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result)>;

// A window painted by Control (nullptr: a window that only holds others).
W32HWND CreatePaintWindow(TWinControl* Control, DWORD Style, DWORD ExStyle, W32HWND Parent);
void SetPaintWindowHook(W32HWND Window, TPaintWindowHook Hook);
// The control that paints Window, or nullptr when it is no paint window.
TWinControl* PaintWindowControl(W32HWND Window);
// Puts Surface's pixels from (SourceX, SourceY) on DC at (0, 0), Width × Height of them.
void ShowSurface(HDC DC, const TBitmap& Surface, int SourceX, int SourceY, int Width, int Height);
