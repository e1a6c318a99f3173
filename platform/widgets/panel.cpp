#include "platform/widgets/panel.h"

namespace {

// Size of a panel before anything sizes it, in pixels.
constexpr int kDefaultPanelWidth = 185;
constexpr int kDefaultPanelHeight = 41;

// Draws one pixel-wide frame: top and left in Top, bottom and right in Bottom.
void Frame(TCanvas& Canvas, const TRect& R, TColor Top, TColor Bottom)
{
    Canvas.Brush().Color = Top;
    Canvas.FillRect(Rect(R.Left, R.Top, R.Right - 1, R.Top + 1));
    Canvas.FillRect(Rect(R.Left, R.Top, R.Left + 1, R.Bottom - 1));
    Canvas.Brush().Color = Bottom;
    Canvas.FillRect(Rect(R.Left, R.Bottom - 1, R.Right, R.Bottom));
    Canvas.FillRect(Rect(R.Right - 1, R.Top, R.Right, R.Bottom));
}

} // namespace

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetBounds(0, 0, kDefaultPanelWidth, kDefaultPanelHeight);
}

void TPanel::SetBevelOuter(TBevelCut Value)
{
    FBevelOuter = Value;
    Invalidate();
}

void TPanel::SetBevelInner(TBevelCut Value)
{
    FBevelInner = Value;
    Invalidate();
}

void TPanel::SetBevelWidth(int Value)
{
    FBevelWidth = Value > 0 ? Value : 1;
    Invalidate();
}

void TPanel::PaintBevel(TRect& Area, TBevelCut Cut)
{
    if (Cut == TBevelCut::bvNone)
        return;
    for (int i = 0; i < FBevelWidth; ++i) {
        if (Cut == TBevelCut::bvRaised)
            Frame(Canvas(), Area, clBtnHighlight, clBtnShadow);
        else if (Cut == TBevelCut::bvLowered)
            Frame(Canvas(), Area, clBtnShadow, clBtnHighlight);
        Area = Rect(Area.Left + 1, Area.Top + 1, Area.Right - 1, Area.Bottom - 1);
    }
}

void TPanel::Paint()
{
    TRect area = ClientRect();
    Canvas().Brush().Color = Color();
    Canvas().FillRect(area);
    PaintBevel(area, FBevelOuter);
    PaintBevel(area, FBevelInner);
    if (Caption().empty())
        return;
    const int x = (Width() - Canvas().TextWidth(Caption())) / 2;
    const int y = (Height() - Canvas().TextHeight(Caption())) / 2;
    Canvas().TextOut(x, y, Caption());
}
