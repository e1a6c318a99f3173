#pragma once
// What a control needs from its toolkit widget. Each windowed control class
// asks for its kind of peer through a factory implemented in platform/qt/.

#include "platform/graphics/font.h"
#include "platform/graphics/graphics.h"
#include "platform/widgets/widgethandle.h"

#include <memory>
#include <string>

class TWinControl;
class TCustomControl;
class TForm;

class TControlPeer {
public:
    virtual ~TControlPeer() = default;
    // The widget of the parent window in which this one lives (nullptr: top level).
    virtual void SetParentPeer(TControlPeer* Parent) = 0;
    virtual void SetBounds(int Left, int Top, int Width, int Height) = 0;
    virtual void SetVisible(bool Visible) = 0;
    virtual void SetEnabled(bool Enabled) = 0;
    virtual void SetText(const std::string& Text) = 0;
    virtual void SetFont(const TFont& Font) = 0;
    virtual void SetColor(TColor Color) = 0;
    virtual void SetHint(const std::string& Hint, bool Show) = 0;
    // The mouse pointer over the control (crDefault, crHandPoint, ...).
    virtual void SetCursor(int) {}
    // Asks for a later paint of the rectangle (client coordinates).
    virtual void Invalidate(const TRect& Area) = 0;
    // Paints what is invalid now.
    virtual void Update() = 0;
    virtual bool Showing() const = 0;
    virtual void BringToFront() = 0;
    // The toolkit widget; children are created inside it.
    virtual TWidgetHandle Widget() const = 0;
    // The widget that children live in (a form's client area lies below its menu).
    virtual TWidgetHandle ClientWidget() const { return Widget(); }
};

// Peers for windows that the program paints itself.
std::unique_ptr<TControlPeer> CreateCustomControlPeer(TWinControl* Control);
