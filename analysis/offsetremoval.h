#pragma once
// Offset removal: takes a constant DC offset off every sample of a block, in place.

#include <cstddef>
#include <cstdint>

// Subtracts the low 16 bits of LeftOffset from every left sample and the low
// 16 bits of RightOffset from every right sample of FrameCount interleaved
// stereo frames. The subtraction wraps around in 16 bits, as the sound card's
// own arithmetic would: with an offset of 1, -32768 becomes +32767. Nothing is
// clamped.
void RemoveOffsets(int16_t* Samples, size_t FrameCount, int32_t LeftOffset, int32_t RightOffset);
