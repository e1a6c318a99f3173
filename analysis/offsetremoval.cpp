#include "analysis/offsetremoval.h"

#include "analysis/stereopower.h"

namespace {

// Two's-complement subtraction in 16 bits: done on unsigned values, where
// wrapping is defined, then read back as signed.
int16_t SubtractWrapping(int16_t Sample, uint16_t Offset)
{
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint16_t>(Sample) - Offset));
}

} // namespace

void RemoveOffsets(int16_t* Samples, size_t FrameCount, int32_t LeftOffset, int32_t RightOffset)
{
    // Only the low 16 bits of an offset take part.
    const auto left = static_cast<uint16_t>(LeftOffset);
    const auto right = static_cast<uint16_t>(RightOffset);
    for (size_t i = 0; i < FrameCount; ++i) {
        int16_t* frame = Samples + i * SamplesPerFrame;
        frame[0] = SubtractWrapping(frame[0], left);
        frame[1] = SubtractWrapping(frame[1], right);
    }
}
