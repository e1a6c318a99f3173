#pragma once
// What a file's blocks add up to for one channel: the spread of levels, the
// sample peak and the blocks that clipped.

#include "report/levelhistogram.h"

#include <cstdint>

namespace measure {

class TChannelSummary {
public:
    // Takes one block: the level shown for it (dB), the largest magnitude of
    // its own samples (1 to 32768), whether one of them sat at full scale, and
    // the block's start time in seconds.
    void AddBlock(float LeveldB, int32_t SamplePeak, bool Clipped, double StartSeconds);

    uint64_t Blocks() const { return FLevels.Count(); }
    float MaxdB() const { return FMaxdB; }
    double MediandB() const { return FLevels.Percentile(MedianFraction); }
    double Percentile90dB() const { return FLevels.Percentile(Percentile90Fraction); }
    // The sample peak relative to 32768, as sox gives it; silence reads -90.31.
    double SamplePeakdBFS() const;
    uint64_t ClippedBlocks() const { return FClippedBlocks; }
    double FirstClipSeconds() const { return FFirstClipSeconds; }
    double LastClipSeconds() const { return FLastClipSeconds; }

    static constexpr double MedianFraction = 0.5;
    static constexpr double Percentile90Fraction = 0.9;

private:
    TLevelHistogram FLevels;         // shown levels, to 0.01 dB
    float FMaxdB = -1000.0f;         // highest shown level so far, dB; below any real level at first
    int32_t FSamplePeak = 1;         // largest sample magnitude so far, 1 to 32768
    uint64_t FClippedBlocks = 0;     // blocks with a sample at full scale
    double FFirstClipSeconds = 0.0;  // start of the first such block, seconds
    double FLastClipSeconds = 0.0;   // start of the last such block, seconds
};

} // namespace measure
