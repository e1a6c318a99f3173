// The measuring arithmetic: offset removal, peak and RMS measure, the running
// square sum, smoothing and the decibel conversion.

#include "analysis/offsetremoval.h"
#include "analysis/peakmeasure.h"
#include "analysis/powersmoother.h"
#include "analysis/rmsmeasure.h"
#include "analysis/squaresum.h"
#include "audio/powertodb.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <numbers>
#include <random>
#include <vector>

namespace {

constexpr size_t BlockFrames = 4410;

// FrameCount stereo frames with the same sample on both channels.
std::vector<int16_t> Block(size_t FrameCount, const std::function<int16_t(size_t)>& Sample)
{
    std::vector<int16_t> samples(FrameCount * 2);
    for (size_t i = 0; i < FrameCount; ++i)
        samples[2 * i] = samples[2 * i + 1] = Sample(i);
    return samples;
}

// A sine wave of amplitude 32767 (cosine phase, so frame 0 is exactly the
// crest) with a period of 90 frames: 49 whole periods in a block.
std::vector<int16_t> FullScaleSine()
{
    return Block(BlockFrames, [](size_t i) {
        return static_cast<int16_t>(std::lround(32767.0 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / 90.0)));
    });
}

std::vector<int16_t> FullScaleSquare()
{
    return Block(BlockFrames, [](size_t i) { return static_cast<int16_t>((i / 50) % 2 == 0 ? 32767 : -32767); });
}

// The RMS sum the slow, obvious way: each addition in extended precision, stored as single.
float ReferenceSquareSum(const std::vector<int32_t>& Squares)
{
    float sum = RmsSumStart;
    for (int32_t square : Squares)
        sum = static_cast<float>(static_cast<long double>(sum) + square);
    return sum;
}

float ReferenceRmsPower(const std::vector<int16_t>& Samples, size_t Channel)
{
    std::vector<int32_t> squares;
    for (size_t i = Channel; i < Samples.size(); i += 2)
        squares.push_back(Samples[i] * Samples[i]);
    const long double frames = static_cast<long double>(Samples.size() / 2);
    return static_cast<float>(ReferenceSquareSum(squares) / (frames * 32767.0L * 32767.0L));
}

double Rounded(double Value, int Decimals)
{
    const double scale = std::pow(10.0, Decimals);
    return std::round(Value * scale) / scale;
}

} // namespace

TEST(PowerTodB, ReferenceLevels)
{
    struct Row {
        const char* Name;
        float Power;
        double ExpecteddB;
        int Decimals;
    };
    const std::vector<int16_t> sine = FullScaleSine();
    const std::vector<int16_t> square = FullScaleSquare();
    const std::vector<int16_t> silence(BlockFrames * 2, 0);
    const Row rows[] = {
        {"sine, peak", MeasurePeakPower(sine.data(), BlockFrames).Left, 0.00, 2},
        {"sine, RMS", MeasureRmsPower(sine.data(), BlockFrames).Left, 0.00, 2},
        {"square, RMS", MeasureRmsPower(square.data(), BlockFrames).Left, 3.01, 2},
        {"square, peak", MeasurePeakPower(square.data(), BlockFrames).Left, 0.00, 2},
        {"peak 32768", PeakToPower(32768), 0.0003, 4},
        {"peak 16384", PeakToPower(16384), -6.02, 2},
        {"peak 1", PeakToPower(1), -90.31, 2},
        {"silence, peak", MeasurePeakPower(silence.data(), BlockFrames).Left, -90.31, 2},
        {"silence, RMS", MeasureRmsPower(silence.data(), BlockFrames).Left, -196.16, 2},
    };
    for (const Row& row : rows)
        EXPECT_DOUBLE_EQ(Rounded(PowerTodB(row.Power), row.Decimals), row.ExpecteddB) << row.Name;
}

TEST(PowerTodB, ZeroPowerStaysFinite)
{
    // 10 x log10(2e-20)
    EXPECT_NEAR(PowerTodB(0.0f), -196.99, 0.005);
}

TEST(PowerTodB, HalfIsZerodB)
{
    EXPECT_EQ(PowerTodB(0.5f), 0.0f);
}

TEST(OffsetRemoval, WrapsAroundInSixteenBits)
{
    std::vector<int16_t> samples{-32768, 100, 32767, 32767, 0, 0};
    RemoveOffsets(samples.data(), 3, 1, -1);
    const std::vector<int16_t> expected{32767, 101, 32766, -32768, -1, 1};
    EXPECT_EQ(samples, expected);
}

TEST(OffsetRemoval, UsesOnlyTheLowSixteenBits)
{
    std::vector<int16_t> samples{10, 10};
    RemoveOffsets(samples.data(), 1, 0x10003, -0x10000);
    EXPECT_EQ(samples, (std::vector<int16_t>{7, 10}));
}

TEST(OffsetRemoval, TouchesOnlyTheGivenFrames)
{
    std::vector<int16_t> samples{5, 5, 5, 5};
    RemoveOffsets(samples.data(), 1, 2, 3);
    EXPECT_EQ(samples, (std::vector<int16_t>{3, 2, 5, 5}));
}

TEST(PeakMeasure, StartsAtOneAndCountsMinus32768As32768)
{
    const std::vector<int16_t> silent(8, 0);
    EXPECT_EQ(MeasurePeaks(silent.data(), 4).Left, 1);
    EXPECT_EQ(MeasurePeaks(silent.data(), 4).Right, 1);
    const std::vector<int16_t> loud{3, -32768, -200, 5, 100, -7};
    const TStereoPeak peak = MeasurePeaks(loud.data(), 3);
    EXPECT_EQ(peak.Left, 200);
    EXPECT_EQ(peak.Right, 32768);
}

// A vectorised scan takes several frames a step and the frames left over on
// their own: a peak is found wherever it lies, whatever the block leaves over.
TEST(PeakMeasure, FindsThePeakInEveryFrame)
{
    constexpr size_t MostFrames = 40; // a few steps of the widest vector registers, and every remainder
    for (size_t frames = 1; frames <= MostFrames; ++frames) {
        for (size_t at = 0; at < frames; ++at) {
            std::vector<int16_t> samples(frames * 2, 3);
            samples[2 * at] = -1000;
            samples[2 * at + 1] = 2000;
            const TStereoPeak peak = MeasurePeaks(samples.data(), frames);
            ASSERT_EQ(peak.Left, 1000) << "frame " << at << " of " << frames;
            ASSERT_EQ(peak.Right, 2000) << "frame " << at << " of " << frames;
        }
    }
}

TEST(PeakMeasure, PowerInExtendedPrecision)
{
    for (int32_t peak : {1, 2, 1000, 16384, 32767, 32768}) {
        const long double relative = peak / 32767.0L;
        EXPECT_EQ(PeakToPower(peak), static_cast<float>(0.5L * relative * relative)) << peak;
    }
    EXPECT_EQ(PeakToPower(32767), 0.5f);
}

TEST(SquareSum, StartsAtTheStartValue)
{
    EXPECT_EQ(std::bit_cast<uint32_t>(RmsSumStart), 0x322BCC77u);
    TSquareSum sum(RmsSumStart);
    sum.Add(0);
    EXPECT_EQ(sum.Sum(), RmsSumStart);
}

TEST(SquareSum, FirstSquareHalfwayBetweenSinglesRoundsUp)
{
    // 4097^2 = 16785409 lies halfway between the singles 16785408 and
    // 16785410; the start value 1e-8 tips it upward. A double sum would
    // lose the 1e-8 and round to the even neighbour, 16785408.
    TSquareSum sum(RmsSumStart);
    sum.Add(4097 * 4097);
    EXPECT_EQ(sum.Sum(), 16785410.0f);
}

TEST(SquareSum, RoundsTiesToEvenOnceWhole)
{
    TSquareSum sum(16777216.0f); // 2^24: singles step by 2 from here
    sum.Add(1);                  // 16777217 is a tie: the even single 16777216
    EXPECT_EQ(sum.Sum(), 16777216.0f);
    sum.Add(3); // 16777219 is a tie between 16777218 and 16777220: 16777220
    EXPECT_EQ(sum.Sum(), 16777220.0f);
}

TEST(SquareSum, EqualsTheExtendedPrecisionSumOnRandomBlocks)
{
    std::mt19937 random(20261207);
    for (int block = 0; block < 400; ++block) {
        const int shift = block % 16;         // amplitudes from full scale down to 1
        const bool sparse = block % 3 == 0;   // long runs of zeros before the first sample
        std::vector<int32_t> squares;
        for (size_t i = 0; i < BlockFrames; ++i) {
            int32_t sample = static_cast<int32_t>(random() % 65536) - 32768;
            sample >>= shift;
            if (sparse && random() % 4 != 0)
                sample = 0;
            squares.push_back(sample * sample);
        }
        TSquareSum sum(RmsSumStart);
        for (int32_t square : squares)
            sum.Add(square);
        ASSERT_EQ(std::bit_cast<uint32_t>(sum.Sum()), std::bit_cast<uint32_t>(ReferenceSquareSum(squares)))
            << "block " << block;
    }
}

TEST(RmsMeasure, EqualsTheExtendedPrecisionMeasure)
{
    std::mt19937 random(7);
    std::vector<int16_t> samples(BlockFrames * 2);
    for (auto& s : samples)
        s = static_cast<int16_t>(random());
    const TStereoPower power = MeasureRmsPower(samples.data(), BlockFrames);
    EXPECT_EQ(power.Left, ReferenceRmsPower(samples, 0));
    EXPECT_EQ(power.Right, ReferenceRmsPower(samples, 1));
}

TEST(RmsMeasure, ChannelsAreSeparate)
{
    std::vector<int16_t> samples(BlockFrames * 2, 0);
    for (size_t i = 0; i < BlockFrames; ++i)
        samples[2 * i] = 32767;
    const TStereoPower power = MeasureRmsPower(samples.data(), BlockFrames);
    // The single-precision running sum of 4410 large squares is off by about 0.0002 dB.
    EXPECT_NEAR(PowerTodB(power.Left), 3.0103, 0.001);
    EXPECT_NEAR(PowerTodB(power.Right), -196.16, 0.005);
}

TEST(RmsMeasure, NoFramesMeasuresZero)
{
    const int16_t none[2] = {0, 0};
    EXPECT_EQ(MeasureRmsPower(none, 0).Left, 0.0f);
}

TEST(PowerSmoother, FirstBlockIsUnsmoothed)
{
    EXPECT_EQ(SmoothPower(0.5f, 0.001f, true), 0.001f);
}

TEST(PowerSmoother, ThreeQuartersOldOneQuarterNew)
{
    EXPECT_EQ(SmoothPower(0.25f, 0.5f, false), 0.3125f);
    EXPECT_EQ(SmoothPower(0.5f, 0.0f, false), 0.375f);
    const float last = 0.1f;
    const float next = 0.3f;
    EXPECT_EQ(SmoothPower(last, next, false), static_cast<float>((3.0L * last + next) / 4.0L));
}

// Three quarters of 1 + 3 x 2^-23 lie half way between two singles. A quarter
// of a new power below half of x87's last place there (2^-65) leaves the tie
// to even; one above it, though below half a double's, rounds it up: on every
// width of long double.
TEST(PowerSmoother, RoundsAsExtendedPrecisionDoes)
{
    const float last = 1.0f + 3.0f * std::ldexp(1.0f, -23);
    const float even = 0.75f + 4.0f * std::ldexp(1.0f, -24);
    EXPECT_EQ(SmoothPower(last, 1e-21f, false), even);
    EXPECT_EQ(SmoothPower(last, std::ldexp(1.0f, -58), false), std::nextafter(even, 1.0f));
}

TEST(PowerSmoother, ApproachesASteadyLevel)
{
    float shown = SmoothPower(0.0f, 1e-8f, true);
    for (int block = 0; block < 100; ++block)
        shown = SmoothPower(shown, 0.5f, false);
    EXPECT_NEAR(PowerTodB(shown), 0.0, 0.001);
}
