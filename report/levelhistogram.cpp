#include "report/levelhistogram.h"

#include <algorithm>
#include <cmath>

namespace measure {

namespace {

constexpr double CentidBPerdB = 100.0;
constexpr size_t BinCountAll =
    static_cast<size_t>(TLevelHistogram::HighestCentidB - TLevelHistogram::LowestCentidB + 1);

} // namespace

TLevelHistogram::TLevelHistogram() : FPages((BinCountAll + BinsPerPage - 1) / BinsPerPage) {}

void TLevelHistogram::Add(float LeveldB)
{
    const double centidB = std::nearbyint(static_cast<double>(LeveldB) * CentidBPerdB);
    const double clamped = std::clamp(centidB, static_cast<double>(LowestCentidB), static_cast<double>(HighestCentidB));
    const auto bin = static_cast<size_t>(static_cast<int32_t>(clamped) - LowestCentidB);
    std::vector<uint32_t>& page = FPages[bin / BinsPerPage];
    if (page.empty())
        page.resize(BinsPerPage, 0);
    ++page[bin % BinsPerPage];
    ++FCount;
}

double TLevelHistogram::Percentile(double Fraction) const
{
    if (FCount == 0)
        return 0.0;
    // Nearest rank: the smallest level with at least Fraction x Count blocks at or below it.
    const auto rank = std::max<uint64_t>(1, static_cast<uint64_t>(std::ceil(Fraction * static_cast<double>(FCount))));
    uint64_t seen = 0;
    for (size_t bin = 0; bin < BinCountAll; ++bin) {
        seen += BinCount(bin);
        if (seen >= rank)
            return (static_cast<int32_t>(bin) + LowestCentidB) / CentidBPerdB;
    }
    return HighestCentidB / CentidBPerdB;
}

uint32_t TLevelHistogram::BinCount(size_t Bin) const
{
    const std::vector<uint32_t>& page = FPages[Bin / BinsPerPage];
    return page.empty() ? 0 : page[Bin % BinsPerPage];
}

} // namespace measure
