#include "report/channelsummary.h"

#include <algorithm>
#include <cmath>

namespace measure {

namespace {

constexpr double SoxFullScale = 32768.0; // sox's 0 dBFS: the magnitude of -32768
constexpr double DecibelsPerAmplitudeDecade = 20.0;

} // namespace

void TChannelSummary::AddBlock(float LeveldB, int32_t SamplePeak, bool Clipped, double StartSeconds)
{
    FLevels.Add(LeveldB);
    FMaxdB = std::max(FMaxdB, LeveldB);
    FSamplePeak = std::max(FSamplePeak, SamplePeak);
    if (!Clipped)
        return;
    if (FClippedBlocks == 0)
        FFirstClipSeconds = StartSeconds;
    FLastClipSeconds = StartSeconds;
    ++FClippedBlocks;
}

double TChannelSummary::SamplePeakdBFS() const
{
    return DecibelsPerAmplitudeDecade * std::log10(FSamplePeak / SoxFullScale);
}

} // namespace measure
