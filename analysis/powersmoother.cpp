#include "analysis/powersmoother.h"

namespace {

constexpr long double OldWeight = 3.0L;   // parts of the last shown power
constexpr long double TotalWeight = 4.0L; // parts in all, the new block's power being one

} // namespace

float SmoothPower(float LastPower, float BlockPower, bool FirstBlock)
{
    if (FirstBlock)
        return BlockPower;
    return static_cast<float>((static_cast<long double>(LastPower) * OldWeight + BlockPower) / TotalWeight);
}
