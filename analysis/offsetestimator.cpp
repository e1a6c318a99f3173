#include "analysis/offsetestimator.h"

#include "analysis/stereopower.h"

#include <algorithm>
#include <limits>

namespace {

// Adds in 32 bits with wrap-around, which is defined on unsigned values. Only
// the estimate's low 16 bits are ever subtracted from samples.
int32_t AddWrapping(int32_t Value, int32_t Step)
{
    return static_cast<int32_t>(static_cast<uint32_t>(Value) + static_cast<uint32_t>(Step));
}

int32_t AddSaturating(int32_t Count, size_t More)
{
    const auto room = static_cast<size_t>(std::numeric_limits<int32_t>::max() - Count);
    return More >= room ? std::numeric_limits<int32_t>::max() : Count + static_cast<int32_t>(More);
}

// Frames whose samples can be summed in 32 bits: 65536 x 32768 is 2^31.
constexpr size_t FramesPerNarrowSum = 65535;

struct TChannelSums {
    int64_t Left = 0;
    int64_t Right = 0;
};

// Sums each channel exactly, whatever the block length: 32-bit partial sums,
// which vectorise well, gathered into 64 bits.
TChannelSums SumChannels(const int16_t* Samples, size_t FrameCount)
{
    TChannelSums sums;
    for (size_t start = 0; start < FrameCount; start += FramesPerNarrowSum) {
        const size_t end = std::min(FrameCount, start + FramesPerNarrowSum);
        int32_t left = 0;
        int32_t right = 0;
        for (size_t i = start; i < end; ++i) {
            left += Samples[i * SamplesPerFrame];
            right += Samples[i * SamplesPerFrame + 1];
        }
        sums.Left += left;
        sums.Right += right;
    }
    return sums;
}

} // namespace

void TOffsetEstimator::AddBlock(const int16_t* Samples, size_t FrameCount)
{
    const TChannelSums sums = SumChannels(Samples, FrameCount);
    AddSums(sums.Left, sums.Right, FrameCount);
}

void TOffsetEstimator::AddSums(int64_t LeftSum, int64_t RightSum, size_t FrameCount)
{
    if (FrameCount == 0)
        return;
    FFramesSeen = AddSaturating(FFramesSeen, FrameCount);

    // C++ division truncates toward zero: a sum of -7 over 4410 frames is a mean of 0.
    const auto frames = static_cast<int64_t>(FrameCount);
    const auto meanLeft = static_cast<int32_t>(LeftSum / frames);
    const auto meanRight = static_cast<int32_t>(RightSum / frames);
    const int32_t divisor = DivisorFor(FFramesSeen);
    FLeftOffsetEstimate = AddWrapping(FLeftOffsetEstimate, meanLeft / divisor);
    FRightOffsetEstimate = AddWrapping(FRightOffsetEstimate, meanRight / divisor);
}

int32_t TOffsetEstimator::DivisorFor(int32_t FramesSeen)
{
    if (FramesSeen < FastFrames)
        return FastDivisor;
    if (FramesSeen < MediumFrames)
        return MediumDivisor;
    return SlowDivisor;
}
