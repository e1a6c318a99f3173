#pragma once
// Peak measure: the largest sample magnitude of each channel of a block, and
// the power of a full-scale-relative sine with that amplitude.

#include "analysis/stereopower.h"

#include <cstddef>
#include <cstdint>

// The largest magnitude per channel, in sample units: 1 (silence; the measure
// never reads below that) to 32768 (a sample of -32768).
struct TStereoPeak {
    int32_t Left = 1;  // left peak magnitude
    int32_t Right = 1; // right peak magnitude
};

// Scans FrameCount interleaved stereo frames. Peaks start at 1, so a silent
// block reads as the smallest peak rather than as minus infinity.
TStereoPeak MeasurePeaks(const int16_t* Samples, size_t FrameCount);

// The power of a sine whose amplitude is Peak: 0.5 x (Peak / 32767)^2, worked
// in extended precision and rounded to single. 32767 gives 0.5 (0 dB).
float PeakToPower(int32_t Peak);

// MeasurePeaks followed by PeakToPower for each channel.
TStereoPower MeasurePeakPower(const int16_t* Samples, size_t FrameCount);
