// Time the analyser takes for one full block of 4410 stereo frames (100 ms of
// sound) in its own data handling: offset removal, peak or RMS measure,
// smoothing, conversion to dB and the two writes to a real meter on a shown
// form. "x_realtime" is 100 ms divided by the wall time per block;
// "heap_allocations_per_block" counts operator new calls during the run.

#include "analysis/audioanalyser.h"
#include "displays/levelmeter.h"
#include "platform/application.h"
#include "platform/form.h"
#include "support/allocationcounter.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr size_t BlockFrames = 4410;
constexpr size_t SamplesPerFrame = 2;
constexpr double BlockSeconds = 0.1;
constexpr int32_t BenchOffset = 37; // sample units; alternates in sign so the block keeps its level

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

// Noise of about -12 dB with a small DC offset on each channel.
std::vector<int16_t> NoiseBlock()
{
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 8000.0);
    std::vector<int16_t> samples(BlockFrames * SamplesPerFrame);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(std::clamp(noise(random) + (i % 2 == 0 ? 40.0 : -25.0), -32768.0, 32767.0));
    return samples;
}

void AnalyserBlock(benchmark::State& State, bool PeakLevel)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 340);
    auto* meter = new TLevelMeter(form.get());
    meter->SetParent(form.get());
    meter->SetBounds(48, 16, 41, 289);
    meter->SetMindB(-40);
    form->Show();
    Application.ProcessMessages();
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
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Application.Finalize();
    return 0;
}
