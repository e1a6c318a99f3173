#pragma once
// Blocks of interleaved stereo samples (left, then right, signed 16-bit) for tests.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

// Frames of constant left and right samples.
inline std::vector<int16_t> ConstantFrames(size_t Frames, int16_t Left, int16_t Right)
{
    std::vector<int16_t> samples(Frames * 2);
    for (size_t i = 0; i < Frames; ++i) {
        samples[2 * i] = Left;
        samples[2 * i + 1] = Right;
    }
    return samples;
}

namespace stereoframes {

// Blocks of 4410 stereo frames of noise whose level and DC offset change from
// block to block: every seventh block, from the seventh on, clips.
inline std::vector<int16_t> ChangingNoise(size_t Blocks)
{
    constexpr size_t BlockFrames = 4410;
    std::mt19937 random(99);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<int16_t> samples;
    for (size_t b = 0; b < Blocks; ++b) {
        const double amplitude = 300.0 + 9000.0 * static_cast<double>(b % 7);
        const double offset = b < Blocks / 2 ? 150.0 : -90.0;
        for (size_t i = 0; i < BlockFrames * 2; ++i) {
            const double value = amplitude * noise(random) + (i % 2 == 0 ? offset : -offset / 2);
            samples.push_back(static_cast<int16_t>(std::clamp(std::lround(value), -32768L, 32767L)));
        }
    }
    return samples;
}

} // namespace stereoframes
