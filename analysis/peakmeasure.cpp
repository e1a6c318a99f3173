#include "analysis/peakmeasure.h"

#include <algorithm>
#include <cstdlib>

TStereoPeak MeasurePeaks(const int16_t* Samples, size_t FrameCount)
{
    // Magnitudes are taken in 32 bits so that -32768 gives 32768.
    int32_t left = 1;
    int32_t right = 1;
    for (size_t i = 0; i < FrameCount; ++i) {
        const int16_t* frame = Samples + i * SamplesPerFrame;
        left = std::max(left, std::abs(static_cast<int32_t>(frame[0])));
        right = std::max(right, std::abs(static_cast<int32_t>(frame[1])));
    }
    return TStereoPeak{left, right};
}

float PeakToPower(int32_t Peak)
{
    const long double relative = static_cast<long double>(Peak) / FullScaleAmplitude;
    return static_cast<float>(FullScaleSinePower * (relative * relative));
}

TStereoPower MeasurePeakPower(const int16_t* Samples, size_t FrameCount)
{
    const TStereoPeak peak = MeasurePeaks(Samples, FrameCount);
    return TStereoPower{PeakToPower(peak.Left), PeakToPower(peak.Right)};
}
