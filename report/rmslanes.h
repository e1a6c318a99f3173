#pragma once
// The RMS measure of several blocks at once, one block channel per vector lane.

#include "analysis/stereopower.h"

#include <cstddef>
#include <cstdint>

namespace measure {

// A block's sum of squares starts afresh at every block, so the sums of many
// blocks can run side by side: the left sums of 8 blocks fill the eight
// double lanes of one 512-bit register (two 256-bit ones, four 128-bit ones),
// their right sums as many more. Each lane
// is held as in TSquareSum, biased so that one double addition rounds the sum
// to single precision, in the order the window adds; a lane whose sum leaves
// its binary range is redone with TSquareSum's slow step. The result is bit
// for bit that of MeasureRmsPower on each block.
constexpr size_t RmsLaneBlocks = 8;

// True when the vector path in use keeps the sums side by side in vector
// registers; false where MeasureRmsLanes adds each block's sums in turn.
bool RmsLanesAvailable();

// Measures RmsLaneBlocks blocks of FrameCount interleaved stereo frames that
// follow one another at Samples, after taking the low 16 bits of Offsets[2b]
// off every left sample of block b and of Offsets[2b + 1] off every right one
// (wrapping round in 16 bits, as RemoveOffsets does). Writes block b's power
// to Powers[b]. Samples are left as they are. On the vector path in use.
void MeasureRmsLanes(const int16_t* Samples, size_t FrameCount, const uint16_t* Offsets, TStereoPower* Powers);

} // namespace measure
