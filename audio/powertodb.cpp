#include "audio/powertodb.h"

#include <cmath>

namespace {

constexpr long double PowerFloor = 1e-20L;     // added so that log10 never sees 0
constexpr long double ReferencePower = 0.5L;   // a full-scale sine: 0 dB
constexpr long double DecibelsPerDecade = 10.0L;
// From a quarter up the floor is below half a unit in the last place of a
// 64-bit significand (2^-66 at a quarter), so x87 never added anything there.
// Wider long doubles (arm64's 113 bits) would keep it: full scale would read
// 8.7e-20 dB, not 0.
constexpr long double FloorNeededBelow = 0.25L;

} // namespace

float PowerTodB(float P)
{
    const long double power = P < FloorNeededBelow ? P + PowerFloor : P;
    return static_cast<float>(DecibelsPerDecade * std::log10(power / ReferencePower));
}
