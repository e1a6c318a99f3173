#pragma once
// What every vector path of StatsOf shares: the lanes as stored from its
// registers, gathered into the stats, and the samples past the last full
// register added one by one.

#include "analysis/stereopower.h"
#include "report/samplestats.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace measure::statslanes {

inline constexpr int32_t SampleMin = std::numeric_limits<int16_t>::min();
inline constexpr int32_t SampleMax = std::numeric_limits<int16_t>::max();
inline constexpr int BitsPerWord = 16;

// The vector registers' lanes, stored: words of even place are left samples;
// Left and Right hold 32-bit sums of one channel's samples.
template <size_t Words>
struct TLanes {
    alignas(64) std::array<int16_t, Words> Low, High, RawLow, RawHigh;
    alignas(64) std::array<int32_t, Words / 2> Left, Right;
};

// Gathers the lanes into Stats.
template <size_t Words>
void AddLanes(TSampleStats& Stats, const TLanes<Words>& Lanes)
{
    for (size_t lane = 0; lane < Words; ++lane) {
        const size_t c = lane % SamplesPerFrame;
        Stats.Min[c] = std::min<int32_t>(Stats.Min[c], Lanes.Low[lane]);
        Stats.Max[c] = std::max<int32_t>(Stats.Max[c], Lanes.High[lane]);
        Stats.RawMin[c] = std::min<int32_t>(Stats.RawMin[c], Lanes.RawLow[lane]);
        Stats.RawMax[c] = std::max<int32_t>(Stats.RawMax[c], Lanes.RawHigh[lane]);
    }
    for (size_t lane = 0; lane < Words / 2; ++lane) {
        Stats.Sum[0] += Lanes.Left[lane];
        Stats.Sum[1] += Lanes.Right[lane];
    }
}

// Adds samples From to To one by one.
inline void AddSamples(TSampleStats& Stats, const int16_t* Samples, size_t From, size_t To,
                       std::array<uint16_t, 2> Offsets)
{
    for (size_t i = From; i < To; ++i) {
        const size_t c = i % SamplesPerFrame;
        const auto corrected = static_cast<int16_t>(static_cast<uint16_t>(Samples[i]) - Offsets[c]);
        Stats.Sum[c] += corrected;
        Stats.Min[c] = std::min<int32_t>(Stats.Min[c], corrected);
        Stats.Max[c] = std::max<int32_t>(Stats.Max[c], corrected);
        Stats.RawMin[c] = std::min<int32_t>(Stats.RawMin[c], Samples[i]);
        Stats.RawMax[c] = std::max<int32_t>(Stats.RawMax[c], Samples[i]);
    }
}

// The two offsets as one frame: left in the low word.
inline int32_t OffsetPair(std::array<uint16_t, 2> Offsets)
{
    return static_cast<int32_t>(static_cast<uint32_t>(Offsets[0]) |
                                static_cast<uint32_t>(Offsets[1]) << BitsPerWord);
}

// Stats of no samples, ready to take the smaller and larger of each.
inline TSampleStats EmptyStats()
{
    const std::array<int32_t, 2> highest{SampleMax, SampleMax};
    const std::array<int32_t, 2> lowest{SampleMin, SampleMin};
    return TSampleStats{{}, highest, lowest, highest, lowest};
}

} // namespace measure::statslanes
