#pragma once
// The sum, smallest and largest sample of each channel of one block: all the
// DC-offset loop and the peak measure need to know of a block that no
// corrected sample of it wraps round.

#include <array>
#include <cstddef>
#include <cstdint>

namespace measure {

struct TSampleStats {
    std::array<int64_t, 2> Sum{}; // left, right: exact sums of the samples
    std::array<int32_t, 2> Min{}; // smallest sample
    std::array<int32_t, 2> Max{}; // largest sample
};

// The stats of FrameCount interleaved stereo frames (1 to 65535), with
// 512-bit vectors where the processor has them (AVX-512 BW), else 128-bit ones.
TSampleStats StatsOf(const int16_t* Samples, size_t FrameCount);

} // namespace measure
