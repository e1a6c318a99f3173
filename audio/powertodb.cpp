#include "audio/powertodb.h"

#include <cmath>

namespace {

constexpr long double PowerFloor = 1e-20L;     // added so that log10 never sees 0
constexpr long double ReferencePower = 0.5L;   // a full-scale sine: 0 dB
constexpr long double DecibelsPerDecade = 10.0L;

} // namespace

float PowerTodB(float P)
{
    return static_cast<float>(DecibelsPerDecade * std::log10((P + PowerFloor) / ReferencePower));
}
