#pragma once
// The NEON path's routines (report/vectorkernels.h has their shapes).

#include "analysis/stereopower.h"
#include "report/samplestats.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace measure {

TSampleStats StatsNeon(const int16_t* Samples, size_t SampleCount, std::array<uint16_t, 2> Offsets);
void RmsLanesNeon(const int16_t* Samples, size_t FrameCount, const uint16_t* Offsets, TStereoPower* Powers);

} // namespace measure
