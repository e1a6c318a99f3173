#pragma once
// Measures runs of consecutive blocks of one file at once, with the same
// results, bit for bit, as TBlockMeasurer block after block.
//
// Only the DC-offset loop ties a block to the one before: the offset taken
// off block k comes from the corrected mean of block k - 1. The corrected
// sum of a block is its raw sum less FrameCount x offset, unless a corrected
// sample wraps round in 16 bits, which only a block whose raw minimum or
// maximum lies within the offset of the range's ends can do. So:
//  1. a cheap pass gives each block's raw sums, minimum and maximum;
//  2. a short loop over the blocks runs the offset loop on those sums (a
//     block that may wrap is corrected and summed sample by sample);
//  3. with every offset known, the costly measure (peak, or the RMS running
//     sums in vector lanes, several blocks side by side) runs on all blocks;
//  4. smoothing and conversion to dB run block after block.

#include "tools/measure/blockmeasurer.h"
#include "tools/measure/wavstreamreader.h"

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

    // Whether the RMS sums run in vector lanes on this processor.
    static bool LanesUsed();

private:
    // What the cheap pass and the offset loop found of one block; left, then right.
    struct TBlockState {
        std::array<uint16_t, 2> Offsets{}; // low 16 bits of the offsets taken off
        std::array<int32_t, 2> Min{};      // smallest raw sample
        std::array<int32_t, 2> Max{};      // largest raw sample
        bool MayWrap = false;              // a corrected sample may wrap round in 16 bits
        TStereoPeak RawPeak;               // largest raw magnitude
    };

    void RunOffsetLoop(const int16_t* Samples, size_t BlockCount);
    void MeasurePowers(const int16_t* Samples, size_t BlockCount);
    // Block corrected sample by sample into FCorrected, as the window corrects it.
    const int16_t* Corrected(const int16_t* Block, const TBlockState& State);
    // The peak of a corrected channel that cannot wrap: from its raw minimum and maximum.
    static int32_t CorrectedPeak(const TBlockState& State, size_t Channel);

    bool FPeakLevel;                                  // peak measure; RMS when false
    TOffsetEstimator FOffsets;                        // the window's running DC-offset estimate
    TBlockMeasurer FShown;                            // smoothing and dB; its own offsets unused
    std::array<TBlockState, BatchBlocks> FBlocks{};   // per block of the current batch
    std::array<TStereoPower, BatchBlocks> FPowers{};  // each block's measured power
    std::vector<int16_t> FCorrected;                  // one block corrected sample by sample; made when first needed
};

} // namespace measure
