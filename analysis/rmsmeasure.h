#pragma once
// RMS measure: the mean square of each channel of a block, on the scale where
// a full-scale sine has power 0.5.

#include "analysis/stereopower.h"

#include <cstddef>
#include <cstdint>

// The value each channel's sum of squares starts from, so that a silent block
// reads as a tiny power rather than zero (hex 322BCC77 as single precision).
constexpr float RmsSumStart = 1e-8f;

// Sums the squares of the left and of the right samples of FrameCount
// interleaved stereo frames, each sum rounded to single after every addition,
// then divides each by FrameCount x 32767 x 32767 (in extended precision,
// rounded to single). A block of no frames measures 0.
TStereoPower MeasureRmsPower(const int16_t* Samples, size_t FrameCount);

// One channel's sum of squares divided by FrameCount x 32767^2, rounded to single.
float SquareSumToPower(float SquareSum, size_t FrameCount);
