#include "tools/measure/livemeasurement.h"

#include "report/jsonreport.h"
#include "tools/measure/liveinput.h"
#include "tools/measure/liveline.h"
#include "tools/measure/liverows.h"
#include "tools/measure/terminal.h"
#include "report/textreport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

namespace measure {

namespace {

constexpr double BlockSeconds = static_cast<double>(TLiveInput::BlockFrames) / TLiveInput::FramesPerSecond;

// Blocks in Seconds of input, a started block counted whole; no limit for 0.
// Counted in whole frames, so that 1.1 s is 11 blocks and not 11.000000000000002.
uint64_t BlockLimit(double Seconds)
{
    if (Seconds <= 0.0)
        return std::numeric_limits<uint64_t>::max();
    const auto frames = static_cast<uint64_t>(std::llround(Seconds * TLiveInput::FramesPerSecond));
    return (frames + TLiveInput::BlockFrames - 1) / TLiveInput::BlockFrames;
}

// A terminal that cannot move the cursor (TERM=dumb, as in an editor's
// shell) gets lines, as a pipe does.
bool CanRedrawLine()
{
    const char* terminal = std::getenv("TERM");
    return IsTerminal(stdout) && !(terminal && std::string(terminal) == "dumb");
}

std::unique_ptr<TLiveView> MakeView(const TMeasureOptions& Options)
{
    if (!Options.Json && CanRedrawLine())
        return std::make_unique<TLiveLine>(stdout);
    return std::make_unique<TLiveRows>(stdout, Options.Json);
}

// The JSON report on one line, like the block lines before it: the document
// is written to memory and its line breaks, which fall only between values,
// are left out.
void WriteJsonLine(const std::string& Version, const TFileInfo& Info, const TFileSummary& Summary)
{
    std::string line = WrittenText([&](std::FILE* Memory) {
        TJsonReport report(Memory, Version, Info.PeakLevel);
        report.BeginFile(Info);
        report.EndFile(Info, Summary);
        report.Finish();
    });
    if (line.empty())
        return;
    line.erase(std::remove(line.begin(), line.end(), '\n'), line.end());
    std::printf("%s\n", line.c_str());
}

void WriteReport(const TMeasureOptions& Options, const std::string& Version, const TFileInfo& Info,
                 const TFileSummary& Summary)
{
    if (Options.Json) {
        WriteJsonLine(Version, Info, Summary);
    } else {
        TTextReport report(stdout);
        report.BeginFile(Info);
        report.EndFile(Info, Summary);
    }
    std::fflush(stdout);
}

void Fail(const std::string& Message)
{
    std::fflush(stdout);
    std::fprintf(stderr, "quimbrel-measure: %s\n", Message.c_str());
}

// Measures blocks as they come until the limit or a stop, showing each on
// View and adding it to Summary; Info counts them. Returns why the input
// ended early, or an empty string.
std::string MeasureLiveBlocks(TLiveInput& Input, const TMeasureOptions& Options, TLiveView& View, TFileInfo& Info,
                              TFileSummary& Summary)
{
    std::vector<int16_t> block(TLiveInput::BlockFrames * TLiveInput::Channels);
    TBlockMeasurer measurer(Options.PeakLevel);
    const uint64_t limit = BlockLimit(Options.Seconds);
    std::string failure;
    try {
        while (Info.Blocks < limit && Input.ReadBlock(block.data())) {
            const double start = static_cast<double>(Info.Blocks++) * BlockSeconds;
            const TBlockLevels levels = measurer.Measure(block.data(), TLiveInput::BlockFrames);
            Summary.Left.AddBlock(levels.LeftdB, levels.RawPeak.Left, levels.LeftClipped, start);
            Summary.Right.AddBlock(levels.RightdB, levels.RawPeak.Right, levels.RightClipped, start);
            View.Block(start, levels);
        }
    } catch (const ELiveInputError& error) {
        failure = error.Message();
    }
    View.End();
    Info.DataFrames = Input.FramesRead();
    Summary.LeftOffsetEstimate = measurer.Offsets().LeftOffsetEstimate();
    Summary.RightOffsetEstimate = measurer.Offsets().RightOffsetEstimate();
    return failure;
}

} // namespace

bool MeasureLive(const TMeasureOptions& Options, const std::string& Version)
{
    TStopSignal stop;
    std::unique_ptr<TLiveInput> input;
    try {
        input = std::make_unique<TLiveInput>(Options.Input, stop);
    } catch (const ELiveInputError& error) {
        Fail(error.Message());
        return false;
    }
    TFileInfo info;
    info.FileName = "live input " + Options.Input;
    info.SampleRate = TLiveInput::FramesPerSecond;
    info.Channels = TLiveInput::Channels;
    info.PeakLevel = Options.PeakLevel;
    const auto summary = std::make_unique<TFileSummary>();
    const std::string failure = MeasureLiveBlocks(*input, Options, *MakeView(Options), info, *summary);
    input.reset();
    WriteReport(Options, Version, info, *summary);
    if (failure.empty())
        return true;
    Fail(failure);
    return false;
}

} // namespace measure
