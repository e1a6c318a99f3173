#pragma once
// The routines each vector path provides, and what each processor family's
// files (x86/, neon/, portablepaths.cpp: CMake builds one of them) say of
// their paths.

#include "analysis/stereopower.h"
#include "report/samplestats.h"
#include "report/vectorpath.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace measure {

struct TVectorKernels {
    // StatsOf for SampleCount interleaved samples (twice the frames).
    TSampleStats (*Stats)(const int16_t* Samples, size_t SampleCount, std::array<uint16_t, 2> Offsets);
    // MeasureRmsLanes.
    void (*RmsLanes)(const int16_t* Samples, size_t FrameCount, const uint16_t* Offsets, TStereoPower* Powers);
};

// Of this processor family's paths (never Scalar): whether the processor runs
// Path, and its routines; null for a path of another family.
bool ProcessorRuns(TVectorPath Path);
const TVectorKernels* ProcessorKernels(TVectorPath Path);
// This family's paths, fastest first.
std::span<const TVectorPath> ProcessorPaths();

// The plain C++ routines.
TSampleStats StatsScalar(const int16_t* Samples, size_t SampleCount, std::array<uint16_t, 2> Offsets);
void RmsLanesScalar(const int16_t* Samples, size_t FrameCount, const uint16_t* Offsets, TStereoPower* Powers);

// The routines of the path in use.
const TVectorKernels& ActiveKernels();

} // namespace measure
