#pragma once
// The RMS lanes one lane at a time: what a vector path of MeasureRmsLanes
// does with its registers stored, where a lane's sum leaves its binary range
// during a step, and to turn the sums into powers at the end.

#include "analysis/rmsmeasure.h"
#include "analysis/squaresum.h"
#include "report/rmslanes.h"

#include <array>
#include <cstddef>

namespace measure::lanesums {

// One channel of the RmsLaneBlocks blocks, lane by lane, as TSquareSum holds a sum.
struct TLaneSums {
    alignas(64) std::array<double, RmsLaneBlocks> Biased; // Bias + the sum
    alignas(64) std::array<double, RmsLaneBlocks> Bias;   // of the sum's binary range
    alignas(64) std::array<double, RmsLaneBlocks> End;    // the range's end, biased
};

// Every lane starting at the RMS measure's start.
inline TLaneSums FreshSums()
{
    const TSquareSum::TRange start = TSquareSum::RangeOf(RmsSumStart);
    TLaneSums sums;
    sums.Biased.fill(start.Bias + RmsSumStart);
    sums.Bias.fill(start.Bias);
    sums.End.fill(start.End);
    return sums;
}

// Adds Square to lane Lane, as TSquareSum::Add does.
inline void AddToLane(TLaneSums& Sums, size_t Lane, double Square)
{
    const double next = Sums.Biased[Lane] + Square;
    if (next < Sums.End[Lane]) {
        Sums.Biased[Lane] = next;
        return;
    }
    const float sum = TSquareSum::RoundedSum(static_cast<float>(Sums.Biased[Lane] - Sums.Bias[Lane]), Square);
    const TSquareSum::TRange range = TSquareSum::RangeOf(sum);
    Sums.Bias[Lane] = range.Bias;
    Sums.End[Lane] = range.End;
    Sums.Biased[Lane] = range.Bias + sum;
}

// Block b's powers of FrameCount frames, from lane b of each channel, to Powers[b].
inline void WritePowers(const TLaneSums& Left, const TLaneSums& Right, size_t FrameCount, TStereoPower* Powers)
{
    for (size_t b = 0; b < RmsLaneBlocks; ++b) {
        const auto left = static_cast<float>(Left.Biased[b] - Left.Bias[b]);
        const auto right = static_cast<float>(Right.Biased[b] - Right.Bias[b]);
        Powers[b] = TStereoPower{SquareSumToPower(left, FrameCount), SquareSumToPower(right, FrameCount)};
    }
}

} // namespace measure::lanesums
