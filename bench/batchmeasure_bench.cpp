// What quimbrel-measure's batch measure costs per 4410-frame block, on 8
// blocks already in the cache, pass by pass: the raw stats the offset loop
// runs on (sums, minima and maxima after the offsets), the RMS sums in vector lanes, the whole batch for peak and for
// RMS; and the bare operation the RMS lanes wait on: one dependent double
// addition per frame in each of two 8-lane registers, with nothing else.
// Multiplied by the blocks of a file (6000 in 10 minutes), they give the
// time the tool spends beside reading the file.

#include "bench/noiseblock.h"
#include "report/batchmeasurer.h"
#include "report/rmslanes.h"
#include "report/samplestats.h"

#include <benchmark/benchmark.h>

#include <array>
#include <immintrin.h>
#include <vector>

namespace {

constexpr size_t Blocks = measure::RmsLaneBlocks;

std::vector<int16_t> NoiseBlocks()
{
    const std::vector<int16_t> block = NoiseBlock();
    std::vector<int16_t> blocks;
    for (size_t b = 0; b < Blocks; ++b)
        blocks.insert(blocks.end(), block.begin(), block.end());
    return blocks;
}

void ReportPerBlock(benchmark::State& State)
{
    State.counters["blocks"] = benchmark::Counter(static_cast<double>(State.iterations() * Blocks),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BlockStats(benchmark::State& State)
{
    const std::vector<int16_t> samples = NoiseBlocks();
    for (auto _ : State)
        for (size_t b = 0; b < Blocks; ++b)
            benchmark::DoNotOptimize(measure::StatsOf(samples.data() + b * BlockFrames * 2, BlockFrames, {37, 65499}));
    ReportPerBlock(State);
}

void RmsLanes(benchmark::State& State)
{
    if (!measure::RmsLanesAvailable()) {
        State.SkipWithError("no AVX-512 here");
        return;
    }
    const std::vector<int16_t> samples = NoiseBlocks();
    const std::array<uint16_t, Blocks * 2> offsets{};
    std::array<TStereoPower, Blocks> powers{};
    for (auto _ : State) {
        measure::MeasureRmsLanes(samples.data(), BlockFrames, offsets.data(), powers.data());
        benchmark::DoNotOptimize(powers);
    }
    ReportPerBlock(State);
}

void Batch(benchmark::State& State)
{
    const std::vector<int16_t> samples = NoiseBlocks();
    measure::TBatchMeasurer measurer(State.range(0) != 0);
    std::array<measure::TBlockLevels, Blocks> levels;
    for (auto _ : State) {
        measurer.Measure(samples.data(), Blocks, levels.data());
        benchmark::DoNotOptimize(levels);
    }
    ReportPerBlock(State);
}

#pragma GCC push_options
#pragma GCC target("avx512f")

// 4410 frames of one dependent addition in each of the two registers.
[[gnu::noinline]] __m512d AddChains(__m512d Left, __m512d Right, __m512d Step)
{
    for (size_t f = 0; f < BlockFrames; ++f) {
        Left = _mm512_add_pd(Left, Step);
        Right = _mm512_add_pd(Right, Step);
        __asm__("" : "+v"(Left), "+v"(Right)); // keeps every addition
    }
    return _mm512_add_pd(Left, Right);
}

void BareAddChain(benchmark::State& State)
{
    if (!__builtin_cpu_supports("avx512f")) {
        State.SkipWithError("no AVX-512 here");
        return;
    }
    const __m512d step = _mm512_set1_pd(1.0);
    __m512d sum = _mm512_setzero_pd();
    for (auto _ : State)
        sum = AddChains(sum, sum, step);
    benchmark::DoNotOptimize(sum);
    ReportPerBlock(State);
}

#pragma GCC pop_options

} // namespace

BENCHMARK(BlockStats)->Unit(benchmark::kMicrosecond);
BENCHMARK(RmsLanes)->Unit(benchmark::kMicrosecond);
BENCHMARK(Batch)->Arg(1)->Name("Batch/Peak")->Unit(benchmark::kMicrosecond);
BENCHMARK(Batch)->Arg(0)->Name("Batch/RMS")->Unit(benchmark::kMicrosecond);
BENCHMARK(BareAddChain)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
