#pragma once
// The block that the per-block benchmarks measure: one full block of the
// analyser, the same noise on every run.

#include "analysis/stereopower.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

constexpr size_t BlockFrames = 4410;  // stereo frames of one block
constexpr double BlockSeconds = 0.1;  // the sound one block holds, at 44.1 kHz
constexpr int32_t BenchOffset = 37;   // sample units; alternates in sign so the block keeps its level

// Noise of about -12 dB with a small DC offset on each channel.
inline std::vector<int16_t> NoiseBlock()
{
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 8000.0);
    std::vector<int16_t> samples(BlockFrames * SamplesPerFrame);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(std::clamp(noise(random) + (i % 2 == 0 ? 40.0 : -25.0), -32768.0, 32767.0));
    return samples;
}
