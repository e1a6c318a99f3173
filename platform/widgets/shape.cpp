#include "platform/widgets/shape.h"

namespace {

// Size of a shape before anything sizes it, in pixels.
constexpr int kDefaultShapeSize = 65;

} // namespace

TShape::TShape(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, kDefaultShapeSize, kDefaultShapeSize);
}

void TShape::SetPenColor(TColor Value)
{
    FPenColor = Value;
    Invalidate();
}

void TShape::SetBrushColor(TColor Value)
{
    FBrushColor = Value;
    Invalidate();
}

void TShape::Paint()
{
    TCanvas& canvas = Canvas();
    const int w = Width();
    const int h = Height();
    canvas.Brush().Color = FBrushColor;
    canvas.FillRect(Rect(1, 1, w - 1, h - 1));
    canvas.Brush().Color = FPenColor;
    canvas.FillRect(Rect(0, 0, w, 1));
    canvas.FillRect(Rect(0, h - 1, w, h));
    canvas.FillRect(Rect(0, 0, 1, h));
    canvas.FillRect(Rect(w - 1, 0, w, h));
}
