// Time the analyser takes for one full block of 4410 stereo frames (100 ms of
// sound) in its own data handling: offset removal, peak or RMS measure,
// smoothing, conversion to dB and the two writes to a real meter on a shown
// form. "x_realtime" is 100 ms divided by the wall time per block;
// "heap_allocations_per_block" counts operator new calls during the run.

#include "analysis/audioanalyser.h"
#include "bench/noiseblock.h"
#include "bench/offscreenbenchmarks.h"
#include "displays/levelmeter.h"
#include "platform/forms/form.h"
#include "support/allocationcounter.h"
#include "support/controlonform.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

namespace {

// Feeds a block straight into the data handling, as ProcessFile does.
class TBenchAnalyser : public TBasicAudioAnalyser {
public:
    using TBasicAudioAnalyser::TBasicAudioAnalyser;
    void Feed(wavehdr_tag& Header)
    {
        FState = wsRunning;
        FCurrentHeader = &Header;
        HandleData();
    }
    void Stop()
    {
        FState = wsClosed;
        FCurrentHeader = nullptr;
    }
};

void AnalyserBlock(benchmark::State& State, bool PeakLevel)
{
    std::unique_ptr<TForm> form;
    auto* meter = MakeMainWindowMeter<TLevelMeter>(form);
    meter->SetMindB(-40);
    ShowAndHandle(*form);
    auto* analyser = new TBenchAnalyser(form.get());
    analyser->SetLevelMeter(meter);
    analyser->SetPeakLevel(PeakLevel);

    std::vector<int16_t> block = NoiseBlock();
    wavehdr_tag header;
    header.lpData = reinterpret_cast<char*>(block.data());
    header.dwBufferLength = header.dwBytesRecorded = static_cast<uint32_t>(block.size() * sizeof(int16_t));
    header.dwUser = FileBlockMarker;
    int32_t offset = BenchOffset;
    analyser->Feed(header); // the first block is unsmoothed; the timed ones are not

    const long heapBefore = allocationcounter::Allocations.load();
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : State) {
        analyser->SetLeftOffset(offset);
        analyser->SetRightOffset(-offset);
        offset = -offset;
        analyser->Feed(header);
        benchmark::DoNotOptimize(block.data());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double iterations = static_cast<double>(State.iterations());
    State.counters["x_realtime"] = BlockSeconds * iterations / seconds;
    const long heapAfter = allocationcounter::Allocations.load();
    State.counters["heap_allocations_per_block"] = static_cast<double>(heapAfter - heapBefore) / iterations;
    benchmark::DoNotOptimize(meter->LeftdB());
    analyser->Stop();
    analyser->SetLevelMeter(nullptr);
}

} // namespace

BENCHMARK_CAPTURE(AnalyserBlock, Peak, true)->Name("AnalyserBlock/Peak")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(AnalyserBlock, RMS, false)->Name("AnalyserBlock/RMS")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    // The meter is a real widget; no display is needed.
    return RunOffscreenBenchmarks(argc, argv);
}
