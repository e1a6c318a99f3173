// Time to analyse one block of 4410 stereo frames (100 ms of sound), as the
// analyser does for every block: offset removal, peak or RMS measure,
// smoothing and conversion to dB. "x_realtime" is how many times faster than
// the sound itself that is: 100 ms divided by the time per block.

#include "analysis/offsetestimator.h"
#include "analysis/offsetremoval.h"
#include "analysis/peakmeasure.h"
#include "analysis/powersmoother.h"
#include "analysis/rmsmeasure.h"
#include "audio/powertodb.h"
#include "bench/noiseblock.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

namespace {

// Adds the counter x_realtime: 100 ms of sound divided by the wall time per block.
void ReportRealTimeMultiple(benchmark::State& State, std::chrono::steady_clock::time_point Start)
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    State.counters["x_realtime"] = BlockSeconds * static_cast<double>(State.iterations()) / seconds;
}

template <TStereoPower (*Measure)(const int16_t*, size_t)>
void AnalyseBlock(benchmark::State& State)
{
    std::vector<int16_t> block = NoiseBlock();
    float lastLeft = RmsSumStart;
    float lastRight = RmsSumStart;
    int32_t offset = BenchOffset;
    bool first = true;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : State) {
        RemoveOffsets(block.data(), BlockFrames, offset, -offset);
        offset = -offset;
        const TStereoPower power = Measure(block.data(), BlockFrames);
        lastLeft = SmoothPower(lastLeft, power.Left, first);
        lastRight = SmoothPower(lastRight, power.Right, first);
        first = false;
        benchmark::DoNotOptimize(PowerTodB(lastLeft));
        benchmark::DoNotOptimize(PowerTodB(lastRight));
    }
    ReportRealTimeMultiple(State, start);
}

// The main window's DC-offset loop step for the same block.
void OffsetLoop(benchmark::State& State)
{
    const std::vector<int16_t> block = NoiseBlock();
    TOffsetEstimator estimator;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : State) {
        estimator.AddBlock(block.data(), BlockFrames);
        benchmark::DoNotOptimize(estimator.LeftOffsetEstimate());
    }
    ReportRealTimeMultiple(State, start);
}

} // namespace

BENCHMARK(AnalyseBlock<MeasurePeakPower>)->Name("AnalyseBlock/Peak")->Unit(benchmark::kMicrosecond);
BENCHMARK(AnalyseBlock<MeasureRmsPower>)->Name("AnalyseBlock/RMS")->Unit(benchmark::kMicrosecond);
BENCHMARK(OffsetLoop)->Name("OffsetLoop")->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
