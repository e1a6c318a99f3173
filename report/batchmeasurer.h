#pragma once
// Measures runs of consecutive blocks of one file at once, with the same
// results, bit for bit, as TBlockMeasurer block after block.
//
// Only the DC-offset loop ties a block to the one before: the offset taken
// off block k comes from the corrected mean of block k - 1. So:
//  1. a cheap pass over each block in turn, with the offsets the loop has
//     reached, gives its corrected sums (16-bit wrap-around included, as the
//     window corrects), hence the next offsets, and its raw and corrected
//     smallest and largest samples, hence both peaks;
//  2. with every offset known, the costly RMS measure runs on 8 blocks at
//     once, their running sums side by side in vector lanes;
//  3. smoothing and conversion to dB run block after block.

#include "report/blockmeasurer.h"
#include "report/wavstreamreader.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace measure {

class TBatchMeasurer {
public:
    // Blocks measured together at most: as many as the RMS lanes take. 8
    // blocks of 4410 frames are 138 KiB, which stay in the second-level cache
    // from their read to the last pass, and add little to the tool's memory.
    static constexpr size_t BatchBlocks = 8;
    static constexpr size_t BlockFrames = TWavStreamReader::BlockFrames;

    explicit TBatchMeasurer(bool PeakLevel);

    // Measures BlockCount (at most BatchBlocks) blocks of BlockFrames
    // interleaved stereo frames that follow one another at Samples, which are
    // left as they are; writes each block's levels to Levels.
    void Measure(const int16_t* Samples, size_t BlockCount, TBlockLevels* Levels);

    const TOffsetEstimator& Offsets() const { return FOffsets; }

    // Whether the RMS sums run side by side in vector registers on the path in use.
    static bool LanesUsed();

private:
    // What the cheap pass found of one block.
    struct TBlockState {
        std::array<uint16_t, 2> Offsets{}; // low 16 bits of the offsets taken off; left, right
        TStereoPeak RawPeak;               // largest magnitude as it is
        TStereoPeak Peak;                  // largest magnitude once corrected
    };

    void RunOffsetLoop(const int16_t* Samples, size_t BlockCount);
    void MeasurePowers(const int16_t* Samples, size_t BlockCount);
    // Block corrected into FCorrected, as the window corrects it.
    const int16_t* Corrected(const int16_t* Block, const TBlockState& State);

    bool FPeakLevel;                                  // peak measure; RMS when false
    TOffsetEstimator FOffsets;                        // the window's running DC-offset estimate
    TBlockMeasurer FShown;                            // smoothing and dB; its own offsets unused
    std::array<TBlockState, BatchBlocks> FBlocks{};   // per block of the current batch
    std::array<TStereoPower, BatchBlocks> FPowers{};  // each block's measured power
    std::vector<int16_t> FCorrected;                  // one corrected block, for RMS of a short batch; empty for peak
};

} // namespace measure
