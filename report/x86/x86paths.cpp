// The x86-64 vector paths, and which of them this processor runs.
#include "report/vectorkernels.h"
#include "report/x86/statsx86.h"

#include <array>

namespace measure {

namespace {

constexpr std::array<TVectorPath, 3> Paths{TVectorPath::Avx512, TVectorPath::Avx2, TVectorPath::Sse2};

// SSE2's RMS lanes are the plain ones: with two doubles to a register and no
// 64-bit integer conversion they gain nothing over the compiler's own code.
const TVectorKernels Sse2Kernels{StatsSse2, RmsLanesScalar};
const TVectorKernels Avx2Kernels{StatsAvx2, RmsLanesAvx2};
const TVectorKernels Avx512Kernels{StatsAvx512, RmsLanesAvx512};

} // namespace

// The run-time library also checks that the system saves the wider registers.
bool ProcessorRuns(TVectorPath Path)
{
    switch (Path) {
    case TVectorPath::Sse2:
        return true;
    case TVectorPath::Avx2:
        return __builtin_cpu_supports("avx2");
    case TVectorPath::Avx512:
        return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
               __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512dq");
    default:
        return false;
    }
}

const TVectorKernels* ProcessorKernels(TVectorPath Path)
{
    switch (Path) {
    case TVectorPath::Sse2:
        return &Sse2Kernels;
    case TVectorPath::Avx2:
        return &Avx2Kernels;
    case TVectorPath::Avx512:
        return &Avx512Kernels;
    default:
        return nullptr;
    }
}

std::span<const TVectorPath> ProcessorPaths()
{
    return Paths;
}

} // namespace measure
