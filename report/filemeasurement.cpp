#include "report/filemeasurement.h"

#include "report/batchmeasurer.h"
#include "report/wavstreamreader.h"

#include <array>
#include <memory>
#include <vector>

namespace measure {

namespace {

TFileInfo InfoOf(const std::string& FileName, const TWavStreamReader& Reader, bool PeakLevel)
{
    TFileInfo info;
    info.FileName = FileName;
    info.SampleRate = Reader.SampleRate();
    info.Channels = Reader.Channels();
    info.DataFrames = Reader.DataFrames();
    info.Blocks = Reader.BlockCount();
    info.PeakLevel = PeakLevel;
    info.CutShort = Reader.CutShort();
    return info;
}

// What is said of a file cut short: how much of it was measured.
std::string CutShortWarning(const TWavStreamReader& Reader)
{
    if (!Reader.DataChunkFound())
        return "cut short before its data chunk: measured 0 blocks";
    return "data chunk cut short: measured " + std::to_string(Reader.BlockCount()) + " of " +
           std::to_string(Reader.DeclaredBlocks()) + " blocks";
}

// Reads and measures every full block, a batch at a time, adding each to Summary.
void MeasureBlocks(TWavStreamReader& Reader, const TFileInfo& Info, const TFileMeasureOptions& Options,
                   TReportWriter& Report, TFileSummary& Summary, TMeasureProgress* Progress)
{
    constexpr size_t batchBlocks = TBatchMeasurer::BatchBlocks;
    std::vector<int16_t> batch(batchBlocks * TWavStreamReader::BlockFrames * SamplesPerFrame);
    std::array<TBlockLevels, batchBlocks> levels;
    TBatchMeasurer measurer(Options.PeakLevel);
    const double secondsPerBlock = static_cast<double>(TWavStreamReader::BlockFrames) / Info.SampleRate;
    uint64_t done = 0;
    while (const size_t count = Reader.ReadBlocks(batch.data(), batchBlocks)) {
        measurer.Measure(batch.data(), count, levels.data());
        for (size_t b = 0; b < count; ++b, ++done) {
            const double start = static_cast<double>(done) * secondsPerBlock;
            Summary.Left.AddBlock(levels[b].LeftdB, levels[b].RawPeak.Left, levels[b].LeftClipped, start);
            Summary.Right.AddBlock(levels[b].RightdB, levels[b].RawPeak.Right, levels[b].RightClipped, start);
            if (Options.Blocks)
                Report.Block(start, levels[b]);
            if (Progress)
                Progress->Update(done + 1);
        }
    }
    Summary.LeftOffsetEstimate = measurer.Offsets().LeftOffsetEstimate();
    Summary.RightOffsetEstimate = measurer.Offsets().RightOffsetEstimate();
}

} // namespace

TMeasureOutcome MeasureFile(const std::string& FileName, const TFileMeasureOptions& Options, TReportWriter& Report,
                            TMeasureProgress* Progress)
{
    bool started = false;
    try {
        TWavStreamReader reader(FileName);
        const TFileInfo info = InfoOf(FileName, reader, Options.PeakLevel);
        Report.BeginFile(info);
        started = true;
        if (Progress)
            Progress->Begin(FileName, info.Blocks);
        auto summary = std::make_unique<TFileSummary>();
        try {
            MeasureBlocks(reader, info, Options, Report, *summary, Progress);
        } catch (...) {
            if (Progress)
                Progress->End();
            throw;
        }
        if (Progress)
            Progress->End();
        Report.EndFile(info, *summary);
        return TMeasureOutcome{true, info.CutShort ? CutShortWarning(reader) : std::string()};
    } catch (const EWavFileError& error) {
        Report.FileError(FileName, error.Message(), started);
        return TMeasureOutcome{false, error.Message()};
    }
}

} // namespace measure
