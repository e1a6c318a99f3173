#include "tools/measure/levelhistogram.h"

#include <algorithm>
#include <cmath>

namespace measure {

namespace {

constexpr double CentidBPerdB = 100.0;

} // namespace

TLevelHistogram::TLevelHistogram() : FBins(static_cast<size_t>(HighestCentidB - LowestCentidB + 1), 0) {}

void TLevelHistogram::Add(float LeveldB)
{
    const double centidB = std::nearbyint(static_cast<double>(LeveldB) * CentidBPerdB);
    const double clamped = std::clamp(centidB, static_cast<double>(LowestCentidB), static_cast<double>(HighestCentidB));
    ++FBins[static_cast<size_t>(static_cast<int32_t>(clamped) - LowestCentidB)];
    ++FCount;
}

double TLevelHistogram::Percentile(double Fraction) const
{
    if (FCount == 0)
        return 0.0;
    // Nearest rank: the smallest level with at least Fraction x Count blocks at or below it.
    const auto rank = std::max<uint64_t>(1, static_cast<uint64_t>(std::ceil(Fraction * static_cast<double>(FCount))));
    uint64_t seen = 0;
    for (size_t bin = 0; bin < FBins.size(); ++bin) {
        seen += FBins[bin];
        if (seen >= rank)
            return (static_cast<int32_t>(bin) + LowestCentidB) / CentidBPerdB;
    }
    return HighestCentidB / CentidBPerdB;
}

} // namespace measure
