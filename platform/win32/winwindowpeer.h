#pragma once
// The common Win32 side of a control: a window kept in step with the
// control's state. Peers of the individual control kinds derive from it.
// Windows sends a control's notifications (WM_COMMAND, WM_HSCROLL,
// WM_NOTIFY, WM_CTLCOLOR...) to its parent; the parent's window procedure
// hands them back to the control's peer through Reflect.

#include "platform/widgets/controlpeer.h"

#include "platform/win32/winapi.h"

class TWinWindowPeer : public TControlPeer {
public:
    // Takes ownership of Window (destroyed with the peer).
    explicit TWinWindowPeer(W32HWND Window);
    ~TWinWindowPeer() override;

    TWinWindowPeer(const TWinWindowPeer&) = delete;
    TWinWindowPeer& operator=(const TWinWindowPeer&) = delete;

    void SetParentPeer(TControlPeer* Parent) override;
    void SetBounds(int Left, int Top, int Width, int Height) override;
    void SetVisible(bool Visible) override;
    void SetEnabled(bool Enabled) override;
    void SetText(const std::string& Text) override;
    void SetFont(const TFont& Font) override;
    void SetColor(TColor Color) override;
    void SetHint(const std::string& Hint, bool Show) override;
    void SetCursor(int Cursor) override;
    void Invalidate(const TRect& Area) override;
    void Update() override;
    bool Showing() const override;
    void BringToFront() override;
    TWidgetHandle Widget() const override;

    W32HWND Handle() const { return FWindow; }
    const TFont& Font() const { return FFont; }
    TColor Color() const { return FColor; }
    int CursorShape() const { return FCursor; }

    // The peer of a window made by one; nullptr for any other window.
    static TWinWindowPeer* FromHandle(W32HWND Window);
    // Hands a notification that a parent received to the peer of the child
    // it concerns; true with Result when that peer answered it.
    static bool Reflect(UINT Msg, WPARAM WParam, LPARAM LParam, LRESULT& Result);
    // Sets the pointer over Window to its peer's shape; false for the arrow.
    static bool ApplyCursor(W32HWND Window);

protected:
    // A WM_COMMAND notification code (BN_CLICKED ...) for this control.
    virtual void Command(unsigned) {}
    // A WM_HSCROLL or WM_VSCROLL from this control.
    virtual void Scrolled() {}
    // The brush behind a static or button control's text (WM_CTLCOLORSTATIC/BTN).
    virtual LRESULT ControlColor(HDC DC);

    // A child window of ClassName, parked in a hidden window until its parent is set.
    static W32HWND CreateChild(const wchar_t* ClassName, DWORD Style, DWORD ExStyle = 0);

private:
    W32HWND FWindow;
    bool FVisible = false;
    TFont FFont;
    TColor FColor = clBtnFace;
    HBRUSH FBrush = nullptr; // of FColor, made when first asked for
    int FCursor = 0;
};

// The hidden window in which controls wait for their parent.
W32HWND ParkingWindow();
// The HWND behind a widget handle, and back.
W32HWND ToHwnd(TWidgetHandle Handle);
TWidgetHandle ToWidgetHandle(W32HWND Window);
