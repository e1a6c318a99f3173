#pragma once
// Measures successive blocks of one file exactly as the window's analyser and
// its DC-offset loop do: the current offset estimate is taken off each block,
// the block is measured (peak or RMS), smoothed against the previous shown
// power (the first block of a file unsmoothed), converted to dB, and its
// remaining mean then updates the offset estimate for the next block.

#include "analysis/offsetestimator.h"
#include "analysis/peakmeasure.h"
#include "analysis/powersmoother.h"

#include <cstddef>
#include <cstdint>

namespace measure {

// What one block shows, and what it held before any correction.
struct TBlockLevels {
    float LeftdB = 0.0f;     // the level the meter is given, dB relative to a full-scale sine
    float RightdB = 0.0f;
    TStereoPeak RawPeak;     // largest magnitude of the file's own samples, 1 to 32768
    bool LeftClipped = false;  // a left sample at full scale (-32768 or +32767) in the file
    bool RightClipped = false;
};

class TBlockMeasurer {
public:
    explicit TBlockMeasurer(bool PeakLevel) : FPeakLevel(PeakLevel) {}

    // Measures FrameCount interleaved stereo frames; corrects them in place.
    TBlockLevels Measure(int16_t* Samples, size_t FrameCount);

    // The levels shown for the next block when it was measured elsewhere:
    // RawPeak of its own samples, Power after its offsets were taken off.
    // Smooths and converts as Measure does; leaves the offsets alone.
    TBlockLevels Show(const TStereoPeak& RawPeak, const TStereoPower& Power);

    const TOffsetEstimator& Offsets() const { return FOffsets; }

private:
    bool FPeakLevel;                   // peak measure; RMS when false
    bool FFirstBlock = true;           // the next block is the file's first: not smoothed
    float FLastLeftPower = InitialLastPower;  // left power shown for the previous block
    float FLastRightPower = InitialLastPower; // right power shown for the previous block
    TOffsetEstimator FOffsets;         // the window's running DC-offset estimate
};

} // namespace measure
