#pragma once
// The Qt widget of a window that the program paints itself: every paint
// request runs the control's paint handler, then shows its surface.

#include <QWidget>

class TWinControl;

class TQtPaintWidget : public QWidget {
public:
    TQtPaintWidget(TWinControl* Control, QWidget* Parent);

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    TWinControl* FControl;
};
