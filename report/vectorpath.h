#pragma once
// The vector instructions that the measuring routines use, chosen once per
// run: the fastest this processor has, or the one QUIMBREL_SIMD names (for
// tests and benchmarks). Every path gives the same results, bit for bit.

#include <optional>
#include <string_view>

namespace measure {

enum class TVectorPath {
    Scalar, // plain C++, on every processor
    Sse2,   // x86-64: 128-bit, always there
    Avx2,   // x86-64: 256-bit
    Avx512, // x86-64: 512-bit (F, BW, VL, DQ)
    Neon,   // arm64: 128-bit, always there
};

// The name QUIMBREL_SIMD takes for Path: "scalar", "sse2", "avx2", "avx512", "neon".
const char* VectorPathName(TVectorPath Path);
std::optional<TVectorPath> VectorPathNamed(std::string_view Name);

// Whether this build and processor (and its system) run Path.
bool VectorPathRuns(TVectorPath Path);
// The fastest path that runs here.
TVectorPath FastestVectorPath();

// The path this run uses: QUIMBREL_SIMD's when it is set, else the fastest.
// A name that is not a path, or a path that does not run here, ends the
// program with a one-line message on standard error and exit status 2:
// a benchmark or test must not measure another path than it asked for.
TVectorPath ActiveVectorPath();

// Exit status when QUIMBREL_SIMD is refused.
inline constexpr int VectorPathRefused = 2;

} // namespace measure
