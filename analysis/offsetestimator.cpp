#include "analysis/offsetestimator.h"

#include "analysis/stereopower.h"

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

} // namespace

void TOffsetEstimator::AddBlock(const int16_t* Samples, size_t FrameCount)
{
    if (FrameCount == 0)
        return;
    FFramesSeen = AddSaturating(FFramesSeen, FrameCount);

    // 64-bit sums cannot overflow, whatever the block length.
    int64_t sumLeft = 0;
    int64_t sumRight = 0;
    for (size_t i = 0; i < FrameCount; ++i) {
        const int16_t* frame = Samples + i * SamplesPerFrame;
        sumLeft += frame[0];
        sumRight += frame[1];
    }
    // C++ division truncates toward zero: a sum of -7 over 4410 frames is a mean of 0.
    const auto frames = static_cast<int64_t>(FrameCount);
    const auto meanLeft = static_cast<int32_t>(sumLeft / frames);
    const auto meanRight = static_cast<int32_t>(sumRight / frames);
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
