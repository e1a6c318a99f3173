#include "platform/graphics/region.h"

bool TRegion::Contains(int32_t X, int32_t Y) const
{
    if (!FBounds.Contains(X, Y))
        return false;
    const double rx = FBounds.Width() / 2.0;
    const double ry = FBounds.Height() / 2.0;
    const double dx = (X + 0.5 - FBounds.Left - rx) / rx;
    const double dy = (Y + 0.5 - FBounds.Top - ry) / ry;
    return dx * dx + dy * dy <= 1.0;
}
