// The DC-offset loop: block means, divisors by frames seen, truncation toward zero.

#include "analysis/offsetestimator.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr size_t BlockFrames = 4410;

// A block whose left samples sum to LeftSum and right samples to RightSum,
// spread as evenly as whole samples allow.
std::vector<int16_t> BlockWithSums(int32_t LeftSum, int32_t RightSum)
{
    std::vector<int16_t> samples(BlockFrames * 2, 0);
    const auto frames = static_cast<int32_t>(BlockFrames);
    for (size_t i = 0; i < BlockFrames; ++i) {
        const auto index = static_cast<int32_t>(i);
        samples[2 * i] = static_cast<int16_t>(LeftSum / frames + (index < LeftSum % frames ? 1 : 0)
                                              - (index < -(LeftSum % frames) ? 1 : 0));
        samples[2 * i + 1] = static_cast<int16_t>(RightSum / frames + (index < RightSum % frames ? 1 : 0)
                                                  - (index < -(RightSum % frames) ? 1 : 0));
    }
    return samples;
}

std::vector<int16_t> BlockWithMeans(int16_t Left, int16_t Right)
{
    return BlockWithSums(Left * static_cast<int32_t>(BlockFrames), Right * static_cast<int32_t>(BlockFrames));
}

void AddBlocks(TOffsetEstimator& Estimator, int Count, const std::vector<int16_t>& Block)
{
    for (int i = 0; i < Count; ++i)
        Estimator.AddBlock(Block.data(), BlockFrames);
}

} // namespace

TEST(OffsetEstimator, StartsAtZero)
{
    const TOffsetEstimator estimator;
    EXPECT_EQ(estimator.LeftOffsetEstimate(), 0);
    EXPECT_EQ(estimator.RightOffsetEstimate(), 0);
    EXPECT_EQ(estimator.FramesSeen(), 0);
}

TEST(OffsetEstimator, FirstBlockTakesTheWholeMean)
{
    TOffsetEstimator estimator;
    const auto block = BlockWithMeans(37, -12);
    estimator.AddBlock(block.data(), BlockFrames);
    EXPECT_EQ(estimator.LeftOffsetEstimate(), 37);
    EXPECT_EQ(estimator.RightOffsetEstimate(), -12);
    EXPECT_EQ(estimator.FramesSeen(), 4410);
}

TEST(OffsetEstimator, NegativeMeanTruncatesTowardZero)
{
    TOffsetEstimator estimator;
    const auto block = BlockWithSums(-7, 4409);
    estimator.AddBlock(block.data(), BlockFrames);
    EXPECT_EQ(estimator.LeftOffsetEstimate(), 0);
    EXPECT_EQ(estimator.RightOffsetEstimate(), 0);
    const auto whole = BlockWithSums(-4411, 4410);
    estimator.AddBlock(whole.data(), BlockFrames);
    EXPECT_EQ(estimator.LeftOffsetEstimate(), -1);
    EXPECT_EQ(estimator.RightOffsetEstimate(), 1);
}

TEST(OffsetEstimator, TenthBlockTakesAQuarterTruncated)
{
    const auto zero = BlockWithMeans(0, 0);
    TOffsetEstimator minusThree;
    AddBlocks(minusThree, 9, zero);
    const auto three = BlockWithMeans(-3, -3);
    minusThree.AddBlock(three.data(), BlockFrames);
    EXPECT_EQ(minusThree.LeftOffsetEstimate(), 0); // -3 div 4 is 0

    TOffsetEstimator minusFour;
    AddBlocks(minusFour, 9, zero);
    const auto four = BlockWithMeans(-4, 8);
    minusFour.AddBlock(four.data(), BlockFrames);
    EXPECT_EQ(minusFour.LeftOffsetEstimate(), -1);
    EXPECT_EQ(minusFour.RightOffsetEstimate(), 2);
}

TEST(OffsetEstimator, DivisorsByFramesSeen)
{
    struct Row {
        int32_t FramesSeen;
        int32_t Divisor;
    };
    const Row rows[] = {{0, 1}, {39690, 1}, {44099, 1}, {44100, 4}, {436590, 4}, {440999, 4}, {441000, 16}, {2000000000, 16}};
    for (const Row& row : rows)
        EXPECT_EQ(TOffsetEstimator::DivisorFor(row.FramesSeen), row.Divisor) << row.FramesSeen;
}

TEST(OffsetEstimator, BlockDivisorsCountThisBlock)
{
    // Blocks 1 to 9 take the whole mean, 10 to 99 a quarter, 100 on a sixteenth.
    const auto block = BlockWithMeans(32, 32);
    TOffsetEstimator estimator;
    AddBlocks(estimator, 9, block);
    EXPECT_EQ(estimator.LeftOffsetEstimate(), 9 * 32);
    AddBlocks(estimator, 90, block);
    EXPECT_EQ(estimator.LeftOffsetEstimate(), 9 * 32 + 90 * 8);
    EXPECT_EQ(estimator.FramesSeen(), 99 * 4410);
    AddBlocks(estimator, 1, block);
    EXPECT_EQ(estimator.LeftOffsetEstimate(), 9 * 32 + 90 * 8 + 2);
}

TEST(OffsetEstimator, EmptyBlockChangesNothing)
{
    TOffsetEstimator estimator;
    const int16_t none[2] = {100, 100};
    estimator.AddBlock(none, 0);
    EXPECT_EQ(estimator.FramesSeen(), 0);
    EXPECT_EQ(estimator.LeftOffsetEstimate(), 0);
}

TEST(OffsetEstimator, LongBlockSumsDoNotOverflow)
{
    // 70,000 frames of -32768 sum below the 32-bit range.
    const size_t frames = 70000;
    std::vector<int16_t> samples(frames * 2, -32768);
    TOffsetEstimator estimator;
    estimator.AddBlock(samples.data(), frames);
    EXPECT_EQ(estimator.LeftOffsetEstimate(), -32768 / 4);
}
