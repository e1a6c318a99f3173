#include "platform/qt/qtpaintwidget.h"

#include "platform/qt/qtguard.h"
#include "platform/widgets/wincontrol.h"

#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

const QEvent::Type PaintRequestEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

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
    if (!DiffersFromShown(FControl->Surface()))
        return;
    FSurfacePainted = true;
    update(area);
}

void TQtPaintWidget::paintEvent(QPaintEvent* Event)
{
    // A paint the program asked for after the surface was painted (a
    // synchronous repaint) paints it again.
    if (!FSurfacePainted || !FRequested.isEmpty()) {
        FRequested = QRegion();
        Guarded(FControl, [this]() { FControl->PaintHandler(); });
    }
    FSurfacePainted = false;
    const TBitmap& surface = FControl->Surface();
    if (surface.Empty())
        return;
    const QImage image(reinterpret_cast<const uchar*>(surface.Bits()), surface.Width(), surface.Height(),
                       surface.Width() * static_cast<int>(sizeof(uint32_t)), QImage::Format_RGB32);
    QPainter painter(this);
    painter.drawImage(0, 0, image);
    RememberShown(surface, Event->region());
}

bool TQtPaintWidget::DiffersFromShown(const TBitmap& Surface) const
{
    if (Surface.Width() != FShownWidth || Surface.Height() != FShownHeight)
        return true;
    return std::memcmp(FShown.data(), Surface.Bits(), FShown.size() * sizeof(uint32_t)) != 0;
}

void TQtPaintWidget::RememberShown(const TBitmap& Surface, const QRegion& Region)
{
    const int width = Surface.Width();
    const int height = Surface.Height();
    if (width != FShownWidth || height != FShownHeight) {
        // Nothing of another size is known to be on the screen: the first
        // request after this paints through the toolkit again.
        FShown.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
        FShownWidth = width;
        FShownHeight = height;
        if (!Region.contains(QRect(0, 0, width, height))) {
            FShownWidth = -1;
            return;
        }
    }
    for (const QRect& rect : Region) {
        const QRect part = rect.intersected(QRect(0, 0, width, height));
        for (int y = part.top(); y <= part.bottom(); ++y) {
            const size_t start = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(part.left());
            std::copy_n(Surface.Bits() + start, part.width(), FShown.begin() + static_cast<std::ptrdiff_t>(start));
        }
    }
}

void TQtPaintWidget::mouseReleaseEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
        Guarded(FControl, [this]() { FControl->Click(); });
}
