// Blocks measured in batches (raw stats first, the offset loop on sums, RMS
// sums in vector lanes) give the levels of the window's block-by-block
// arithmetic to the bit, where it matters most: samples that wrap round when
// the offset is taken off, sums of squares that land half way between two
// singles, silence, full scale, short batches, both channels different.

#include "report/batchmeasurer.h"

#include "analysis/offsetremoval.h"
#include "analysis/rmsmeasure.h"
#include "report/rmslanes.h"
#include "report/samplestats.h"

#include "support/allocationcounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <iostream>
#include <random>
#include <vector>

using namespace measure;

namespace {

constexpr size_t BlockFrames = TBatchMeasurer::BlockFrames;
constexpr size_t BlockSamples = BlockFrames * 2;

// Blocks of noise whose level changes block by block, on a large DC offset
// (left up, right down) that the estimate takes on in the first second; loud
// blocks then reach the range's ends, where taking the offset off wraps.
std::vector<int16_t> Signal(size_t Blocks)
{
    std::mt19937 random(18);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<int16_t> samples;
    for (size_t b = 0; b < Blocks; ++b) {
        const double amplitude = std::array{300.0, 9000.0, 0.0, 30000.0, 2000.0}[b % 5];
        for (size_t i = 0; i < BlockFrames; ++i) {
            for (const double offset : {3000.0, -2500.0}) {
                const double value = amplitude == 0.0 ? 0.0 : amplitude * noise(random) + offset;
                samples.push_back(static_cast<int16_t>(std::clamp(std::lround(value), -32768L, 32767L)));
            }
        }
    }
    return samples;
}

// Makes Block silent once its offsets are taken off, but for its first
// frame, whose squares land half way between two singles (16388^2 is
// 2^28 + 131088) when added to the sum's start: the 1e-8 more must round
// them up. The offsets are those the window's loop reaches by then.
void PutTies(std::vector<int16_t>& Samples, size_t Block)
{
    TBlockMeasurer loop(true);
    std::vector<int16_t> copy(Samples.begin(), Samples.begin() + static_cast<ptrdiff_t>(Block * BlockSamples));
    for (size_t b = 0; b < Block; ++b)
        loop.Measure(copy.data() + b * BlockSamples, BlockFrames);
    const auto left = static_cast<int16_t>(loop.Offsets().LeftOffsetEstimate());
    const auto right = static_cast<int16_t>(loop.Offsets().RightOffsetEstimate());
    int16_t* block = Samples.data() + Block * BlockSamples;
    for (size_t i = 0; i < BlockFrames; ++i) {
        block[2 * i] = left;
        block[2 * i + 1] = right;
    }
    block[0] = static_cast<int16_t>(16388 + left);
    block[1] = static_cast<int16_t>(-16388 + right);
}

struct TBits {
    uint32_t Left, Right;
    int32_t LeftPeak, RightPeak;
    bool LeftClipped, RightClipped;
    bool operator==(const TBits&) const = default;
};

TBits BitsOf(const TBlockLevels& Levels)
{
    return TBits{std::bit_cast<uint32_t>(Levels.LeftdB), std::bit_cast<uint32_t>(Levels.RightdB), Levels.RawPeak.Left,
                 Levels.RawPeak.Right, Levels.LeftClipped, Levels.RightClipped};
}

void ExpectSameAsBlockByBlock(bool PeakLevel, const std::vector<size_t>& Batches)
{
    size_t blocks = 0;
    for (const size_t count : Batches)
        blocks += count;
    std::vector<int16_t> samples = Signal(blocks);
    PutTies(samples, 15);
    PutTies(samples, 40);

    TBlockMeasurer reference(PeakLevel);
    std::vector<int16_t> block(BlockSamples);
    TBatchMeasurer batches(PeakLevel);
    std::array<TBlockLevels, TBatchMeasurer::BatchBlocks> levels;
    size_t first = 0;
    const long allocations = allocationcounter::Allocations.load();
    for (const size_t count : Batches) {
        batches.Measure(samples.data() + first * BlockSamples, count, levels.data());
        for (size_t b = 0; b < count; ++b) {
            const int16_t* raw = samples.data() + (first + b) * BlockSamples;
            std::copy(raw, raw + BlockSamples, block.begin());
            ASSERT_EQ(BitsOf(levels[b]), BitsOf(reference.Measure(block.data(), BlockFrames)))
                << "block " << first + b << (PeakLevel ? " (peak)" : " (RMS)");
        }
        first += count;
    }
    EXPECT_EQ(allocationcounter::Allocations.load(), allocations) << "measuring allocates nothing";
    EXPECT_EQ(batches.Offsets().LeftOffsetEstimate(), reference.Offsets().LeftOffsetEstimate());
    EXPECT_EQ(batches.Offsets().RightOffsetEstimate(), reference.Offsets().RightOffsetEstimate());
    // The signal did what it is for: a large offset, so that loud blocks wrap.
    EXPECT_GT(reference.Offsets().LeftOffsetEstimate(), 2900);
    EXPECT_LT(reference.Offsets().RightOffsetEstimate(), -2400);
}

} // namespace

TEST(BatchMeasurer, GivesTheBlockByBlockLevelsToTheBit)
{
    // Full batches, which take the RMS lanes where the processor has them,
    // then short ones, which do not.
    const std::vector<size_t> batches{8, 8, 8, 8, 8, 8, 3, 1, 7};
    std::cout << "RMS lanes " << (TBatchMeasurer::LanesUsed() ? "used" : "not available here") << "\n";
    ExpectSameAsBlockByBlock(false, batches);
    ExpectSameAsBlockByBlock(true, batches);
}

// The first Frames frames of each of the RmsLaneBlocks blocks at Samples, one
// after another: blocks of another length.
std::vector<int16_t> Shortened(const std::vector<int16_t>& Samples, size_t Frames)
{
    std::vector<int16_t> shortened;
    for (size_t b = 0; b < RmsLaneBlocks; ++b) {
        const auto block = Samples.begin() + static_cast<ptrdiff_t>(b * BlockSamples);
        shortened.insert(shortened.end(), block, block + static_cast<ptrdiff_t>(Frames * 2));
    }
    return shortened;
}

// The lanes' powers themselves, before smoothing hides a last bit: 8 blocks
// side by side, each with its own offsets, against the window's RMS measure.
// The lanes take 4 frames a step, so blocks whose length leaves 0 to 3 frames
// over (other sample rates' tenths of a second, and very short blocks) each
// end their own way.
TEST(BatchMeasurer, RmsLanesGiveTheWindowsPowersToTheBit)
{
    std::vector<int16_t> samples = Signal(RmsLaneBlocks);
    const std::array<uint16_t, RmsLaneBlocks * 2> offsets{3000, 62036, 0, 0, 65535, 1, 3000, 62036,
                                                          7, 65000, 0, 0, 32768, 32767, 100, 200};
    // Block 1: silence; block 5: squares of the first frame on a tie, one
    // channel's positive, the other's negative (taken off with offsets 0);
    // block 4: full scale both ways, which wraps with offsets 7 and -536.
    std::fill_n(samples.begin() + BlockSamples, BlockSamples, int16_t{0});
    std::fill_n(samples.begin() + 5 * BlockSamples, BlockSamples, int16_t{0});
    samples[5 * BlockSamples] = 16388;
    samples[5 * BlockSamples + 1] = -16388;
    for (size_t i = 4 * BlockSamples; i < 5 * BlockSamples; i += 4) {
        samples[i] = samples[i + 1] = -32768;
        samples[i + 2] = samples[i + 3] = 32767;
    }
    constexpr size_t Rate22050Frames = 2205; // a tenth of a second at 22.05 kHz: 1 over
    for (const size_t frames : {BlockFrames, BlockFrames - 1, BlockFrames - 3, BlockFrames - 2 * 2, Rate22050Frames,
                                size_t{1}, size_t{3}}) {
        const std::vector<int16_t> blocks = Shortened(samples, frames);
        std::array<TStereoPower, RmsLaneBlocks> powers{};
        MeasureRmsLanes(blocks.data(), frames, offsets.data(), powers.data());
        for (size_t b = 0; b < RmsLaneBlocks; ++b) {
            std::vector<int16_t> block(blocks.begin() + static_cast<ptrdiff_t>(b * frames * 2),
                                       blocks.begin() + static_cast<ptrdiff_t>((b + 1) * frames * 2));
            RemoveOffsets(block.data(), frames, offsets[2 * b], offsets[2 * b + 1]);
            const TStereoPower expected = MeasureRmsPower(block.data(), frames);
            EXPECT_EQ(std::bit_cast<uint32_t>(powers[b].Left), std::bit_cast<uint32_t>(expected.Left))
                << "block " << b << " of " << frames << " frames";
            EXPECT_EQ(std::bit_cast<uint32_t>(powers[b].Right), std::bit_cast<uint32_t>(expected.Right))
                << "block " << b << " of " << frames << " frames";
        }
    }
}

// Whichever vector path StatsOf takes (tests/measure runs this once per path)
// agrees with the stats taken one sample at a time, on wrapping offsets and ragged lengths.
TEST(BatchMeasurer, StatsAgreeWhateverTheVectorWidth)
{
    const std::vector<int16_t> samples = Signal(5);
    for (const size_t frames : {size_t{1}, size_t{7}, size_t{33}, BlockFrames - 1, BlockFrames})
        for (const std::array<uint16_t, 2> offsets : {std::array<uint16_t, 2>{0, 0}, {3000, 62036}, {32767, 32768}})
            for (size_t b = 0; b < 5; ++b) {
                const int16_t* block = samples.data() + b * BlockSamples;
                EXPECT_EQ(StatsOf(block, frames, offsets), StatsOneByOne(block, frames, offsets))
                    << frames << " frames of block " << b << ", offsets " << offsets[0] << " " << offsets[1];
            }
}
