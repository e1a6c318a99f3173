// The arm64 vector path: NEON, which every arm64 processor has.
#include "report/neon/neonpaths.h"

#include "report/vectorkernels.h"

#include <array>

namespace measure {

namespace {

constexpr std::array<TVectorPath, 1> Paths{TVectorPath::Neon};
const TVectorKernels NeonKernels{StatsNeon, RmsLanesNeon};

} // namespace

bool ProcessorRuns(TVectorPath Path)
{
    return Path == TVectorPath::Neon;
}

const TVectorKernels* ProcessorKernels(TVectorPath Path)
{
    return Path == TVectorPath::Neon ? &NeonKernels : nullptr;
}

std::span<const TVectorPath> ProcessorPaths()
{
    return Paths;
}

} // namespace measure
