#include "platform/widgets/userinput.h"

#include "platform/kernel/application.h"
#include "platform/qt/qtconvert.h"
#include "platform/widgets/control.h"
#include "platform/widgets/mainmenu.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace {

QWidget* WidgetOf(TControl& Control)
{
    Control.HandleNeeded();
    return Control.Peer() ? ToQWidget(Control.Peer()->Widget()) : nullptr;
}

Qt::Key QtKey(int VirtualKey)
{
    switch (VirtualKey) {
    case VK_RETURN: return Qt::Key_Return;
    case VK_ESCAPE: return Qt::Key_Escape;
    default: return Qt::Key_Space;
    }
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
    const Qt::Key key = QtKey(VirtualKey);
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
