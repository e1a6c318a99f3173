#include "platform/forms/application.h"
#include "platform/qt/qtpaintwidget.h"
#include "platform/qt/qtwidgetpeer.h"
#include "platform/widgets/customcontrol.h"

std::unique_ptr<TControlPeer> CreateCustomControlPeer(TWinControl* Control)
{
    Application.Peer();
    return std::make_unique<TQtWidgetPeer>(new TQtPaintWidget(Control, nullptr));
}
