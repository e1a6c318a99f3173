#pragma once
// A panel: a window in its colour with an outer and an inner bevel, holding
// other controls. A raised bevel is light at the top and left and dark at the
// bottom and right; a lowered one the other way round.

#include "platform/widgets/customcontrol.h"

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

// Bevel colours of the light desktop palette.
constexpr TColor clBtnHighlight = 0xFFFFFF;
constexpr TColor clBtnShadow = 0xA0A0A0;

class TPanel : public TCustomControl {
public:
    explicit TPanel(TComponent* AOwner);

    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    // Pixels per bevel.
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);

protected:
    void Paint() override;

private:
    void PaintBevel(TRect& Area, TBevelCut Cut);

    TBevelCut FBevelOuter = TBevelCut::bvRaised;
    TBevelCut FBevelInner = TBevelCut::bvNone;
    int FBevelWidth = 1;
};
