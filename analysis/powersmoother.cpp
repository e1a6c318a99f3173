#include "analysis/powersmoother.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double OldShare = 0.75; // of the last shown power; the new block's power has the rest
constexpr double NewShare = 0.25;
// x87's significand, whose rounding of the sum the meter has always shown.
constexpr int ExtendedSignificandBits = 64;

// Whether the extended sum Total + Missed differs from Total: Missed is more
// than half a unit in its last place (a tie keeps Total, whose last bit is 0).
bool ExtendedKeeps(double Total, double Missed)
{
    return std::fabs(Missed) > std::ldexp(1.0, std::ilogb(Total) - ExtendedSignificandBits);
}

} // namespace

float SmoothPower(float LastPower, float BlockPower, bool FirstBlock)
{
    if (FirstBlock)
        return BlockPower;
    // Both shares are exact in double; their sum is rounded once (TwoSum
    // gives what it missed, exactly). Rounding that to single differs from
    // rounding the extended sum only half way between two singles, where
    // the extended sum may have kept what the double missed.
    const double last = OldShare * LastPower;
    const double fresh = NewShare * BlockPower;
    const double total = last + fresh;
    const double freshPart = total - last;
    const double missed = (last - (total - freshPart)) + (fresh - freshPart);
    const auto rounded = static_cast<float>(total);
    if (missed == 0.0 || static_cast<double>(rounded) == total)
        return rounded;
    const float other = std::nextafter(rounded, total > rounded ? std::numeric_limits<float>::infinity()
                                                                   : -std::numeric_limits<float>::infinity());
    const bool halfWay = total - static_cast<double>(rounded) == static_cast<double>(other) - total;
    if (!halfWay || !ExtendedKeeps(total, missed))
        return rounded;
    return missed > 0.0 ? std::max(rounded, other) : std::min(rounded, other);
}
