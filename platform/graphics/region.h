#pragma once
// A clip region: an ellipse inscribed in a rectangle (right and bottom
// excluded), in the coordinates of the surface being drawn on.

#include "platform/graphics/graphics.h"

class TRegion {
public:
    explicit TRegion(const TRect& Bounds) : FBounds(Bounds) {}
    const TRect& Bounds() const { return FBounds; }
    // Whether the pixel whose top-left corner is (X, Y) lies inside: its centre
    // must lie within the ellipse.
    bool Contains(int32_t X, int32_t Y) const;

private:
    TRect FBounds;
};

inline TRegion CreateEllipticRgn(int32_t Left, int32_t Top, int32_t Right, int32_t Bottom)
{
    return TRegion(Rect(Left, Top, Right, Bottom));
}
