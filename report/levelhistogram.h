#pragma once
// Counts block levels in bins of 0.01 dB, so that the median and other
// percentiles of a file of any length take the same small memory. Bins are
// kept in pages of 10.24 dB, each made when a level first falls in it: the
// levels of a recording fill a few pages of the 21.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace measure {

class TLevelHistogram {
public:
    // Levels are counted from -200 dB (below the quietest reading, about
    // -197 dB) to +10 dB (above the loudest, +3.01 dB RMS); a level outside
    // is counted at the nearer end.
    static constexpr int32_t LowestCentidB = -20000;
    static constexpr int32_t HighestCentidB = 1000;

    TLevelHistogram();

    void Add(float LeveldB);
    uint64_t Count() const { return FCount; }

    // The level at or below which Fraction (0 to 1] of the blocks lie, by
    // nearest rank, to 0.01 dB. 0 when nothing was added.
    double Percentile(double Fraction) const;

private:
    static constexpr size_t BinsPerPage = 1024;

    // Blocks counted in Bin, 0.01 dB from LowestCentidB upward.
    uint32_t BinCount(size_t Bin) const;

    // Pages of BinsPerPage bins from LowestCentidB upward, empty until a level
    // falls in them; blocks per 0.01 dB (4 billion blocks: 13 years).
    std::vector<std::vector<uint32_t>> FPages;
    uint64_t FCount = 0; // blocks added
};

} // namespace measure
