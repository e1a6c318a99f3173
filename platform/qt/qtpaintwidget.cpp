#include "platform/qt/qtpaintwidget.h"

#include "platform/qt/qtguard.h"
#include "platform/widgets/wincontrol.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

TQtPaintWidget::TQtPaintWidget(TWinControl* Control, QWidget* Parent) : QWidget(Parent), FControl(Control)
{
    // The program fills the whole area itself; Qt must not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TQtPaintWidget::paintEvent(QPaintEvent*)
{
    Guarded(FControl, [this]() { FControl->PaintHandler(); });
    const TBitmap& surface = FControl->Surface();
    if (surface.Empty())
        return;
    const QImage image(reinterpret_cast<const uchar*>(surface.Bits()), surface.Width(), surface.Height(),
                       surface.Width() * static_cast<int>(sizeof(uint32_t)), QImage::Format_RGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

void TQtPaintWidget::mouseReleaseEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
        Guarded(FControl, [this]() { FControl->Click(); });
}
