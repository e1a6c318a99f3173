// A processor family without vector paths of its own: only the plain C++ path.
#include "report/vectorkernels.h"

namespace measure {

bool ProcessorRuns(TVectorPath)
{
    return false;
}

const TVectorKernels* ProcessorKernels(TVectorPath)
{
    return nullptr;
}

std::span<const TVectorPath> ProcessorPaths()
{
    return {};
}

} // namespace measure
