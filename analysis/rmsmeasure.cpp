#include "analysis/rmsmeasure.h"

#include "analysis/squaresum.h"

TStereoPower MeasureRmsPower(const int16_t* Samples, size_t FrameCount)
{
    TSquareSum left(RmsSumStart);
    TSquareSum right(RmsSumStart);
    for (size_t i = 0; i < FrameCount; ++i) {
        const int16_t* frame = Samples + i * SamplesPerFrame;
        const int32_t l = frame[0];
        const int32_t r = frame[1];
        left.Add(l * l);
        right.Add(r * r);
    }
    return TStereoPower{SquareSumToPower(left.Sum(), FrameCount), SquareSumToPower(right.Sum(), FrameCount)};
}

float SquareSumToPower(float SquareSum, size_t FrameCount)
{
    if (FrameCount == 0)
        return 0.0f; // nothing was measured; avoids dividing by zero
    const long double fullScaleSquare = static_cast<long double>(FullScaleAmplitude) * FullScaleAmplitude;
    return static_cast<float>(SquareSum / (static_cast<long double>(FrameCount) * fullScaleSquare));
}
