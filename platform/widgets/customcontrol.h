#pragma once
// A windowed control that paints itself: override Paint and draw on Canvas,
// which is valid while Paint runs.

#include "platform/widgets/wincontrol.h"

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* AOwner);

    TCanvas& Canvas() { return SurfaceCanvas(); }
    bool PaintsItself() const override { return true; }

protected:
    virtual void Paint() {}
    void PaintWindow(TCanvas& ACanvas) override;
    std::unique_ptr<TControlPeer> CreatePeer() override;
};
