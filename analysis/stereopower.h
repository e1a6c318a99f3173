#pragma once
// Measures of one block of interleaved stereo frames (left sample, then right
// sample, each signed 16-bit), and the scale they are taken on.

#include <cstddef>
#include <cstdint>

// Samples per stereo frame: left, then right.
constexpr size_t SamplesPerFrame = 2;

// Amplitude of a full-scale sine wave, in sample units. Power is a mean square
// divided by this amplitude squared, so such a sine has power 0.5.
constexpr int32_t FullScaleAmplitude = 32767;

// Power of a full-scale sine wave; 0 dB on the meter.
constexpr long double FullScaleSinePower = 0.5L;

// The power of each channel of one block: a mean square scaled so that a
// full-scale sine has 0.5. Range 0 to about 0.5 for peak, 0 to 1 for RMS.
struct TStereoPower {
    float Left = 0.0f;  // left channel power
    float Right = 0.0f; // right channel power
};
