#include "platform/qt/qtwidgetpeer.h"

#include "platform/qt/qtconvert.h"
#include "platform/qt/qtpaintwidget.h"

TQtWidgetPeer::TQtWidgetPeer(QWidget* Widget) : FWidget(Widget) {}

TQtWidgetPeer::~TQtWidgetPeer()
{
    delete FWidget.data();
}

TWidgetHandle TQtWidgetPeer::Widget() const
{
    return ToWidgetHandle(FWidget.data());
}

void TQtWidgetPeer::SetParentPeer(TControlPeer* Parent)
{
    if (!W())
        return;
    auto* parentWidget = Parent ? ToQWidget(Parent->ClientWidget()) : nullptr;
    if (W()->parentWidget() == parentWidget)
        return;
    W()->setParent(parentWidget);
    // Reparenting hides a widget in Qt; it keeps the control's visibility.
    W()->setVisible(FVisible && (parentWidget != nullptr));
}

void TQtWidgetPeer::SetBounds(int Left, int Top, int Width, int Height)
{
    if (W())
        W()->setGeometry(Left, Top, Width > 0 ? Width : 0, Height > 0 ? Height : 0);
}

void TQtWidgetPeer::SetVisible(bool Visible)
{
    FVisible = Visible;
    if (W() && (W()->parentWidget() || !Visible))
        W()->setVisible(Visible);
}

void TQtWidgetPeer::SetEnabled(bool Enabled)
{
    if (W())
        W()->setEnabled(Enabled);
}

void TQtWidgetPeer::SetText(const std::string&) {}

void TQtWidgetPeer::SetFont(const TFont& Font)
{
    if (!W())
        return;
    W()->setFont(ToQFont(Font));
    // The style keeps its own colours for a disabled control, so that it looks disabled.
    QPalette palette = W()->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
        for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            palette.setColor(group, role, ToQColor(Font.Color));
    W()->setPalette(palette);
}

void TQtWidgetPeer::SetColor(TColor) {}

void TQtWidgetPeer::SetHint(const std::string& Hint, bool Show)
{
    if (W())
        W()->setToolTip(Show ? ToQString(Hint) : QString());
}

void TQtWidgetPeer::SetCursor(int Cursor)
{
    if (W())
        W()->setCursor(ToQCursorShape(Cursor));
}

void TQtWidgetPeer::Invalidate(const TRect& Area)
{
    const QRect area(Area.Left, Area.Top, Area.Width(), Area.Height());
    if (auto* painted = dynamic_cast<TQtPaintWidget*>(W()))
        painted->RequestPaint(area);
    else if (W())
        W()->update(area);
}

void TQtWidgetPeer::Update()
{
    if (W() && W()->isVisible())
        W()->repaint();
}

bool TQtWidgetPeer::Showing() const
{
    return W() && W()->isVisible();
}

void TQtWidgetPeer::BringToFront()
{
    if (W())
        W()->raise();
}
