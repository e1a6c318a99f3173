#include "tools/measure/blockmeasurer.h"

#include "analysis/offsetremoval.h"
#include "analysis/powersmoother.h"
#include "analysis/rmsmeasure.h"
#include "audio/powertodb.h"

namespace measure {

namespace {

// Magnitude of the largest positive sample; 32768, the largest negative, is above it.
constexpr int32_t ClipMagnitude = 32767;

bool Clipped(int32_t Peak)
{
    return Peak >= ClipMagnitude;
}

} // namespace

TBlockLevels TBlockMeasurer::Measure(int16_t* Samples, size_t FrameCount)
{
    TBlockLevels levels;
    levels.RawPeak = MeasurePeaks(Samples, FrameCount);
    levels.LeftClipped = Clipped(levels.RawPeak.Left);
    levels.RightClipped = Clipped(levels.RawPeak.Right);

    RemoveOffsets(Samples, FrameCount, FOffsets.LeftOffsetEstimate(), FOffsets.RightOffsetEstimate());
    const TStereoPower power =
        FPeakLevel ? MeasurePeakPower(Samples, FrameCount) : MeasureRmsPower(Samples, FrameCount);
    FLastLeftPower = SmoothPower(FLastLeftPower, power.Left, FFirstBlock);
    FLastRightPower = SmoothPower(FLastRightPower, power.Right, FFirstBlock);
    FFirstBlock = false;
    levels.LeftdB = PowerTodB(FLastLeftPower);
    levels.RightdB = PowerTodB(FLastRightPower);

    FOffsets.AddBlock(Samples, FrameCount);
    return levels;
}

} // namespace measure
