#pragma once
// Blocks of interleaved stereo samples (left, then right, signed 16-bit) for tests.

#include <cstddef>
#include <cstdint>
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
