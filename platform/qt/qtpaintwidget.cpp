#include "platform/qt/qtpaintwidget.h"

#include "platform/qt/qtguard.h"
#include "platform/widgets/wincontrol.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

namespace {

const QEvent::Type PaintRequestEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
constexpr unsigned SizeShift = 32; // the width's place in the size's fingerprint

} // namespace

TQtPaintWidget::TQtPaintWidget(TWinControl* Control, QWidget* Parent) : QWidget(Parent), FControl(Control)
{
    // The program fills the whole area itself; Qt must not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TQtPaintWidget::RequestPaint(const QRect& Area)
{
    FRequested += Area;
    if (FRequestPosted)
        return;
    FRequestPosted = true;
    QCoreApplication::postEvent(this, new QEvent(PaintRequestEvent));
}

bool TQtPaintWidget::event(QEvent* Event)
{
    // A surface painted for a widget hidden before it showed it is stale
    // by the time the widget shows again.
    if (Event->type() == QEvent::Hide)
        FSurfacePainted = false;
    if (Event->type() != PaintRequestEvent)
        return QWidget::event(Event);
    FRequestPosted = false;
    PaintRequested();
    return true;
}

void TQtPaintWidget::PaintRequested()
{
    // A hidden widget is not painted (it is painted whole when shown), and a
    // paint since the request has already covered it.
    const QRegion area = std::exchange(FRequested, QRegion());
    if (area.isEmpty() || !isVisible())
        return;
    Guarded(FControl, [this]() { FControl->PaintHandler(); });
    const size_t fingerprint = Fingerprint(FControl->Surface());
    // A toolkit paint already on its way shows this picture instead.
    if (!FSurfacePainted && FShownKnown && fingerprint == FShownFingerprint)
        return;
    FSurfacePainted = true;
    FPaintedFingerprint = fingerprint;
    update(area);
}

void TQtPaintWidget::paintEvent(QPaintEvent* Event)
{
    // A paint the program asked for after the surface was painted (a
    // synchronous repaint) paints it again.
    const bool painted = FSurfacePainted && FRequested.isEmpty();
    FSurfacePainted = false;
    if (!painted) {
        FRequested = QRegion();
        Guarded(FControl, [this]() { FControl->PaintHandler(); });
    }
    // What is on the screen now is known only if the whole of a picture
    // whose fingerprint was taken went there.
    FShownKnown = painted && Event->region().contains(rect());
    FShownFingerprint = FPaintedFingerprint;
    const TBitmap& surface = FControl->Surface();
    if (surface.Empty())
        return;
    const QImage image(reinterpret_cast<const uchar*>(surface.Bits()), surface.Width(), surface.Height(),
                       surface.Width() * static_cast<int>(sizeof(uint32_t)), QImage::Format_RGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
}

size_t TQtPaintWidget::Fingerprint(const TBitmap& Surface)
{
    // The size goes in too: pictures of two sizes never match. A 64-bit hash
    // that two different pictures share is not to be expected in any number
    // of repaints a program makes.
    const auto width = static_cast<size_t>(Surface.Width());
    const auto height = static_cast<size_t>(Surface.Height());
    const std::string_view pixels(reinterpret_cast<const char*>(Surface.Bits()), width * height * sizeof(uint32_t));
    return std::hash<std::string_view>{}(pixels) ^ std::hash<size_t>{}((width << SizeShift) ^ height);
}

void TQtPaintWidget::mouseReleaseEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
        Guarded(FControl, [this]() { FControl->Click(); });
}
