// How fast ProcessFile feeds a 10-minute 16-bit stereo WAV file through the
// component's data handling with an OnData that does nothing, and how many
// heap allocations the feed makes: per file, and between the first and the
// last block (none are expected there).

#include "audio/wavein.h"
#include "support/allocationcounter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string gBenchFile; // the file written for this run, removed at the end

constexpr uint32_t FileSeconds = 600;
constexpr uint32_t SampleRate = 44100;   // frames per second
constexpr uint32_t FrameBytes = 4;       // 16-bit left and right
constexpr uint32_t DataBytes = FileSeconds * SampleRate * FrameBytes;
constexpr double BytesPerMegabyte = 1e6;

void PutLe16(std::string& Out, uint16_t Value)
{
    Out += static_cast<char>(Value & 0xFF);
    Out += static_cast<char>(Value >> 8);
}

void PutLe32(std::string& Out, uint32_t Value)
{
    PutLe16(Out, static_cast<uint16_t>(Value & 0xFFFF));
    PutLe16(Out, static_cast<uint16_t>(Value >> 16));
}

// A 10-minute file of a slow ramp in both channels, written once per run.
std::string TenMinuteFile()
{
    static const std::string path = [] {
        const std::string file =
            (std::filesystem::temp_directory_path() / ("quimbrel-bench-" + std::to_string(getpid()) + ".wav")).string();
        constexpr uint32_t FmtBytes = 16, HeaderBytes = 36;
        std::string header = "RIFF";
        PutLe32(header, HeaderBytes + DataBytes);
        header += "WAVEfmt ";
        PutLe32(header, FmtBytes);
        PutLe16(header, 1);
        PutLe16(header, 2);
        PutLe32(header, SampleRate);
        PutLe32(header, SampleRate * FrameBytes);
        PutLe16(header, FrameBytes);
        PutLe16(header, 16);
        header += "data";
        PutLe32(header, DataBytes);
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(header.data(), static_cast<std::streamsize>(header.size()));
        std::vector<int16_t> second(static_cast<size_t>(SampleRate) * 2);
        for (size_t i = 0; i < second.size(); ++i)
            second[i] = static_cast<int16_t>(i * 3);
        for (uint32_t s = 0; s < FileSeconds; ++s)
            out.write(reinterpret_cast<const char*>(second.data()), static_cast<std::streamsize>(second.size() * 2));
        gBenchFile = file;
        return file;
    }();
    return path;
}

// Notes the allocation count at the first and the last block of each feed.
class TCountingWaveIn : public TWaveIn {
public:
    using TWaveIn::TWaveIn;
    long AtFirstBlock = 0;
    long AtLastBlock = 0;

protected:
    void HandleData() override
    {
        const long now = allocationcounter::Allocations.load(std::memory_order_relaxed);
        if (FBufferNumber == 0)
            AtFirstBlock = now;
        AtLastBlock = now;
        TWaveIn::HandleData();
    }
};

void BM_ProcessFile(benchmark::State& State)
{
    const std::string path = TenMinuteFile();
    TCountingWaveIn waveIn(nullptr);
    long blocks = 0;
    waveIn.SetOnData([&](wavehdr_tag&) { ++blocks; });
    long allocationsPerFeed = 0;
    long allocationsBetweenBlocks = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : State) {
        const long before = allocationcounter::Allocations.load();
        waveIn.ProcessFile(path);
        allocationsPerFeed = allocationcounter::Allocations.load() - before;
        allocationsBetweenBlocks = waveIn.AtLastBlock - waveIn.AtFirstBlock;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    const double iterations = static_cast<double>(State.iterations());
    State.counters["MB_per_s"] = DataBytes / BytesPerMegabyte * iterations / elapsed.count();
    State.counters["times_real_time"] = FileSeconds * iterations / elapsed.count();
    State.counters["blocks_per_file"] = static_cast<double>(blocks) / iterations;
    State.counters["allocations_per_file"] = static_cast<double>(allocationsPerFeed);
    State.counters["allocations_from_first_to_last_block"] = static_cast<double>(allocationsBetweenBlocks);
}
BENCHMARK(BM_ProcessFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    if (!gBenchFile.empty())
        std::filesystem::remove(gBenchFile, ignored);
    return 0;
}
