#include "platform/widgets/graphiccontrol.h"

#include "platform/widgets/wincontrol.h"

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) {}

void TGraphicControl::Invalidate()
{
    if (Parent() && Visible())
        Parent()->InvalidateRect(BoundsRect());
}

void TGraphicControl::Update()
{
    if (Parent())
        Parent()->Update();
}

bool TGraphicControl::Showing() const
{
    return Visible() && Parent() && Parent()->Showing();
}

void TGraphicControl::PaintOn(const TSurface& Surface, const TRect& ParentClip)
{
    FCanvas.Bind(Surface, Left(), Top(), IntersectRect(BoundsRect(), ParentClip));
    FCanvas.Font() = Font();
    Paint();
    FCanvas.Unbind();
}
