#pragma once
// The Qt widget of a window that the program paints itself: every paint
// request runs the control's paint handler, then shows its surface.
//
// A control that asks for repaints often (a meter, ten times a second) asks
// through RequestPaint: the paint handler runs on the next turn of the event
// loop as for any paint, but the toolkit is asked to put the surface on the
// screen only if that changes a pixel there. Each toolkit paint costs far
// more than the program's own (the window system's round trip and the
// flush), and a meter at rest, or holding a steady tone, changes nothing.

#include <QRegion>
#include <QWidget>

#include <cstddef>

class TBitmap;
class TWinControl;

class TQtPaintWidget : public QWidget {
public:
    TQtPaintWidget(TWinControl* Control, QWidget* Parent);

    // Paints the control soon and shows Area of it if its pixels differ
    // from those on the screen.
    void RequestPaint(const QRect& Area);

protected:
    bool event(QEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    // Runs the paint handler for the requested area, as the toolkit would have.
    void PaintRequested();
    static size_t Fingerprint(const TBitmap& Surface);

    TWinControl* FControl;
    QRegion FRequested;            // areas asked for since the last paint handler run
    bool FRequestPosted = false;   // a PaintRequested is on its way
    bool FSurfacePainted = false;  // the surface is fresh for the next paintEvent
    // Fingerprint of the whole picture on the screen, when known: known after
    // a whole-widget paint of a requested picture, unknown after any other.
    size_t FShownFingerprint = 0;
    bool FShownKnown = false;
    size_t FPaintedFingerprint = 0; // of the surface painted for the next paintEvent
};
