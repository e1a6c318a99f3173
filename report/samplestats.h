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
// bits; on the vector path in use (ActiveVectorPath). The samples are left
// as they are.
TSampleStats StatsOf(const int16_t* Samples, size_t FrameCount, std::array<uint16_t, 2> Offsets);
// The same one sample at a time, whatever the path: what every path is checked against.
TSampleStats StatsOneByOne(const int16_t* Samples, size_t FrameCount, std::array<uint16_t, 2> Offsets);

} // namespace measure
