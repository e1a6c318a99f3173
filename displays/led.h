#pragma once
// A small round indicator lamp: the lamp picture "TLED" from the program's
// resources with its body repainted in Colour, clipped to a circle so that
// the parent's background shows at the corners.

#include "platform/graphics/bitmap.h"
#include "platform/widgets/graphiccontrol.h"

#include <memory>

class TLED : public TGraphicControl {
public:
    explicit TLED(TComponent* AOwner);
    ~TLED() override;

    TColor Colour() const { return FColour; }
    // Repaints only when the colour changes.
    void SetColour(TColor Value);

protected:
    void Paint() override;

    // The body colour, 0x00BBGGRR; clLime after construction.
    TColor FColour;
    // The lamp picture, 15 x 15; empty when the resource could not be loaded.
    std::unique_ptr<TBitmap> FBitmap;
};
