#pragma once
// A rectangle on its parent's surface: a 1-pixel frame in the pen colour
// around an inside in the brush colour. A shape one pixel high is a line.

#include "platform/widgets/graphiccontrol.h"

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);

    TColor PenColor() const { return FPenColor; }
    void SetPenColor(TColor Value);
    TColor BrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor Value);

protected:
    void Paint() override;

private:
    TColor FPenColor = clBlack;
    TColor FBrushColor = clWhite;
};
