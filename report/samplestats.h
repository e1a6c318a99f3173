#pragma once
// What the DC-offset loop and the peak measure need to know of one block:
// each channel's smallest and largest sample, and the sum, smallest and
// largest sample once the offsets are taken off.

#include <array>
#include <cstddef>
#include <cstdint>

namespace measure {

struct TSampleStats {
    std::array<int64_t, 2> Sum{};    // left, right: exact sums of the corrected samples
    std::array<int32_t, 2> Min{};    // smallest corrected sample
    std::array<int32_t, 2> Max{};    // largest corrected sample
    std::array<int32_t, 2> RawMin{}; // smallest sample as it is
    std::array<int32_t, 2> RawMax{}; // largest sample as it is
    bool operator==(const TSampleStats&) const = default;
};

// The stats of FrameCount interleaved stereo frames (1 to 65535) corrected by
// Offsets (left, right) as RemoveOffsets corrects them, wrapping round in 16
// bits; with 512-bit vectors where the processor has them (AVX-512 BW), else
// 128-bit ones. The samples are left as they are.
TSampleStats StatsOf(const int16_t* Samples, size_t FrameCount, std::array<uint16_t, 2> Offsets);
// The same with 128-bit vectors whatever the processor has, as StatsOf works
// where there is no AVX-512 BW; so that either way can be checked anywhere.
TSampleStats StatsOf128Bit(const int16_t* Samples, size_t FrameCount, std::array<uint16_t, 2> Offsets);

} // namespace measure
