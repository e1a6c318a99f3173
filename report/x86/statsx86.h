#pragma once
// The x86-64 vector paths' routines (report/vectorkernels.h has their
// shapes); each may run only where x86paths.cpp says its path runs.

#include "analysis/stereopower.h"
#include "report/samplestats.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace measure {

TSampleStats StatsSse2(const int16_t* Samples, size_t SampleCount, std::array<uint16_t, 2> Offsets);
TSampleStats StatsAvx2(const int16_t* Samples, size_t SampleCount, std::array<uint16_t, 2> Offsets);
TSampleStats StatsAvx512(const int16_t* Samples, size_t SampleCount, std::array<uint16_t, 2> Offsets);

void RmsLanesAvx2(const int16_t* Samples, size_t FrameCount, const uint16_t* Offsets, TStereoPower* Powers);
void RmsLanesAvx512(const int16_t* Samples, size_t FrameCount, const uint16_t* Offsets, TStereoPower* Powers);

} // namespace measure
