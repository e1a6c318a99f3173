#include "report/blockmeasurer.h"

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
    const TStereoPeak rawPeak = MeasurePeaks(Samples, FrameCount);
    RemoveOffsets(Samples, FrameCount, FOffsets.LeftOffsetEstimate(), FOffsets.RightOffsetEstimate());
    const TStereoPower power =
        FPeakLevel ? MeasurePeakPower(Samples, FrameCount) : MeasureRmsPower(Samples, FrameCount);
    FOffsets.AddBlock(Samples, FrameCount);
    return Show(rawPeak, power);
}

TBlockLevels TBlockMeasurer::Show(const TStereoPeak& RawPeak, const TStereoPower& Power)
{
    TBlockLevels levels;
    levels.RawPeak = RawPeak;
    levels.LeftClipped = Clipped(RawPeak.Left);
    levels.RightClipped = Clipped(RawPeak.Right);
    FLastLeftPower = SmoothPower(FLastLeftPower, Power.Left, FFirstBlock);
    FLastRightPower = SmoothPower(FLastRightPower, Power.Right, FFirstBlock);
    FFirstBlock = false;
    levels.LeftdB = PowerTodB(FLastLeftPower);
    levels.RightdB = PowerTodB(FLastRightPower);
    return levels;
}

} // namespace measure
