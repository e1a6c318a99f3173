#include "platform/application.h"
#include "platform/customcontrol.h"
#include "platform/qt/qtpaintwidget.h"
#include "platform/qt/qtwidgetpeer.h"

std::unique_ptr<TControlPeer> CreateCustomControlPeer(TWinControl* Control)
{
    Application.Peer();
    return std::make_unique<TQtWidgetPeer>(new TQtPaintWidget(Control, nullptr));
}
