#include "platform/widgets/userinput.h"

#include "platform/forms/application.h"
#include "platform/graphics/bitmap.h"
#include "platform/qt/qtconvert.h"
#include "platform/widgets/control.h"
#include "platform/widgets/mainmenu.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>

#include <cstring>

namespace {

QWidget* WidgetOf(TControl& Control)
{
    Control.HandleNeeded();
    return Control.Peer() ? ToQWidget(Control.Peer()->Widget()) : nullptr;
}

} // namespace

bool SimulateClick(TControl& Control)
{
    QWidget* widget = WidgetOf(Control);
    if (!widget)
        return false;
    const QPointF local(widget->width() / 2.0, widget->height() / 2.0);
    const QPointF global = widget->mapToGlobal(local);
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
    return true;
}

bool SimulateKey(TControl& Control, int VirtualKey)
{
    QWidget* widget = WidgetOf(Control);
    if (!widget)
        return false;
    const Qt::Key key = ToQtKey(VirtualKey);
    const QString text = VirtualKey == VK_SPACE ? QStringLiteral(" ") : QString();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
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
    QWidget* widget = WidgetOf(Control);
    if (!widget)
        return false;
    const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
    Picture.SetSize(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(Picture.Bits() + static_cast<size_t>(y) * static_cast<size_t>(image.width()), image.constScanLine(y),
                    static_cast<size_t>(image.width()) * sizeof(uint32_t));
    return true;
}
