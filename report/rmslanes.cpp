#include "report/rmslanes.h"

#include "report/lanesums.h"
#include "report/vectorkernels.h"

namespace measure {

bool RmsLanesAvailable()
{
    return ActiveKernels().RmsLanes != RmsLanesScalar;
}

void MeasureRmsLanes(const int16_t* Samples, size_t FrameCount, const uint16_t* Offsets, TStereoPower* Powers)
{
    ActiveKernels().RmsLanes(Samples, FrameCount, Offsets, Powers);
}

// Block after block, frame after frame, the offsets taken off as the window
// takes them off.
void RmsLanesScalar(const int16_t* Samples, size_t FrameCount, const uint16_t* Offsets, TStereoPower* Powers)
{
    lanesums::TLaneSums left = lanesums::FreshSums();
    lanesums::TLaneSums right = left;
    for (size_t b = 0; b < RmsLaneBlocks; ++b) {
        const int16_t* block = Samples + b * FrameCount * SamplesPerFrame;
        for (size_t f = 0; f < FrameCount; ++f) {
            const auto l = static_cast<int16_t>(static_cast<uint16_t>(block[2 * f]) - Offsets[2 * b]);
            const auto r = static_cast<int16_t>(static_cast<uint16_t>(block[2 * f + 1]) - Offsets[2 * b + 1]);
            lanesums::AddToLane(left, b, static_cast<double>(int32_t{l} * l));
            lanesums::AddToLane(right, b, static_cast<double>(int32_t{r} * r));
        }
    }
    lanesums::WritePowers(left, right, FrameCount, Powers);
}

} // namespace measure
