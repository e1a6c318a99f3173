#include "report/vectorpath.h"

#include "report/vectorkernels.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace measure {

namespace {

constexpr const char* SwitchVariable = "QUIMBREL_SIMD";

struct TPathName {
    TVectorPath Path;
    const char* Name;
};
constexpr std::array<TPathName, 5> PathNames{{{TVectorPath::Scalar, "scalar"},
                                              {TVectorPath::Sse2, "sse2"},
                                              {TVectorPath::Avx2, "avx2"},
                                              {TVectorPath::Avx512, "avx512"},
                                              {TVectorPath::Neon, "neon"}}};

// The paths that run here, by name, for the refusal message.
std::string RunningPaths()
{
    std::string names;
    for (const TPathName& entry : PathNames)
        if (VectorPathRuns(entry.Path))
            names += std::string(names.empty() ? "" : ", ") + entry.Name;
    return names;
}

[[noreturn]] void Refuse(const std::string& Value, const char* Reason)
{
    std::fprintf(stderr, "%s=%s: %s; this processor runs %s\n", SwitchVariable, Value.c_str(), Reason,
                 RunningPaths().c_str());
    std::exit(VectorPathRefused);
}

TVectorPath ChoosePath()
{
    const char* value = std::getenv(SwitchVariable);
    if (value == nullptr || *value == '\0')
        return FastestVectorPath();
    const std::optional<TVectorPath> path = VectorPathNamed(value);
    if (!path)
        Refuse(value, "no such vector path");
    if (!VectorPathRuns(*path))
        Refuse(value, "not available on this processor");
    return *path;
}

const TVectorKernels ScalarKernels{StatsScalar, RmsLanesScalar};

} // namespace

const char* VectorPathName(TVectorPath Path)
{
    for (const TPathName& entry : PathNames)
        if (entry.Path == Path)
            return entry.Name;
    return "unknown";
}

std::optional<TVectorPath> VectorPathNamed(std::string_view Name)
{
    for (const TPathName& entry : PathNames)
        if (Name == entry.Name)
            return entry.Path;
    return std::nullopt;
}

bool VectorPathRuns(TVectorPath Path)
{
    return Path == TVectorPath::Scalar || (ProcessorKernels(Path) != nullptr && ProcessorRuns(Path));
}

TVectorPath FastestVectorPath()
{
    for (const TVectorPath path : ProcessorPaths())
        if (ProcessorRuns(path))
            return path;
    return TVectorPath::Scalar;
}

TVectorPath ActiveVectorPath()
{
    static const TVectorPath path = ChoosePath();
    return path;
}

const TVectorKernels& ActiveKernels()
{
    static const TVectorKernels& kernels =
        ActiveVectorPath() == TVectorPath::Scalar ? ScalarKernels : *ProcessorKernels(ActiveVectorPath());
    return kernels;
}

} // namespace measure
