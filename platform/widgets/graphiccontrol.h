#pragma once
// A control without a window: it paints on its parent's surface through a
// canvas whose origin is its own top-left corner and whose drawing is clipped
// to its bounds. What it leaves unpainted shows the parent.

#include "platform/graphics/canvas.h"
#include "platform/widgets/control.h"

class TGraphicControl : public TControl {
public:
    explicit TGraphicControl(TComponent* AOwner);

    TCanvas& Canvas() { return FCanvas; }

    void Invalidate() override;
    void Update() override;
    bool Showing() const override;

    // Called by the parent's paint with the canvas bound to its surface.
    void PaintOn(const TSurface& Surface, const TRect& ParentClip);

protected:
    virtual void Paint() {}

private:
    TCanvas FCanvas;
};
