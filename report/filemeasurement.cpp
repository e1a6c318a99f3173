#include "report/filemeasurement.h"

#include "report/batchmeasurer.h"
#include "report/wavstreamreader.h"

#include <array>
#include <memory>
#include <vector>

namespace measure {

namespace {

constexpr const char* StandardInputName = "-";
constexpr uint16_t MeasuredChannels = 2;

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
    info.Streamed = Reader.Streamed();
    info.CountedAtEnd = !Reader.SizeKnown();
    return info;
}

// The lines said of a file that was measured: its RIFF size, channels left out, a cut.
std::vector<std::string> Warnings(const TWavStreamReader& Reader)
{
    std::vector<std::string> lines;
    if (!Reader.RiffNote().empty())
        lines.push_back(Reader.RiffNote());
    if (Reader.Channels() > MeasuredChannels)
        lines.push_back(std::to_string(Reader.Channels()) + " channels: channels 1 and 2 measured as left and right, " +
                        std::to_string(Reader.Channels() - MeasuredChannels) + " left out");
    if (Reader.CutShort())
        lines.push_back("data chunk cut short: measured " + std::to_string(Reader.BlockCount()) + " of " +
                        std::to_string(Reader.DeclaredBlocks()) + " blocks");
    return lines;
}

// Measures batches of blocks as they are read, adding each to Summary.
class TBlockRun {
public:
    TBlockRun(TWavStreamReader& Reader, const TFileMeasureOptions& Options)
        : FReader(Reader), FOptions(Options), FMeasurer(Options.PeakLevel),
          FBatchBlocks(Reader.SizeKnown() ? TBatchMeasurer::BatchBlocks : 1), // a stream: each block as it ends
          FBatch(FBatchBlocks * TWavStreamReader::BlockFrames * SamplesPerFrame)
    {
    }

    size_t Read() { return FReader.ReadBlocks(FBatch.data(), FBatchBlocks); }

    // Measures the Count blocks read, then the rest of the file.
    void Run(size_t Count, TReportWriter& Report, TFileSummary& Summary, TMeasureProgress* Progress)
    {
        const double secondsPerBlock = static_cast<double>(TWavStreamReader::BlockFrames) / FReader.SampleRate();
        for (; Count > 0; Count = Read()) {
            FMeasurer.Measure(FBatch.data(), Count, FLevels.data());
            for (size_t b = 0; b < Count; ++b, ++FDone) {
                const TBlockLevels& levels = FLevels[b];
                const double start = static_cast<double>(FDone) * secondsPerBlock;
                Summary.Left.AddBlock(levels.LeftdB, levels.RawPeak.Left, levels.LeftClipped, start);
                Summary.Right.AddBlock(levels.RightdB, levels.RawPeak.Right, levels.RightClipped, start);
                if (FOptions.Blocks)
                    Report.Block(start, levels);
                if (Progress)
                    Progress->Update(FDone + 1);
            }
        }
        Summary.LeftOffsetEstimate = FMeasurer.Offsets().LeftOffsetEstimate();
        Summary.RightOffsetEstimate = FMeasurer.Offsets().RightOffsetEstimate();
    }

private:
    TWavStreamReader& FReader;
    const TFileMeasureOptions& FOptions;
    TBatchMeasurer FMeasurer;
    size_t FBatchBlocks;                                     // blocks read at once
    std::vector<int16_t> FBatch;                             // their samples
    std::array<TBlockLevels, TBatchMeasurer::BatchBlocks> FLevels; // their levels
    uint64_t FDone = 0;                                      // blocks measured so far
};

} // namespace

TMeasureOutcome MeasureFile(const std::string& FileName, const TFileMeasureOptions& Options, TReportWriter& Report,
                            TMeasureProgress* Progress)
{
    bool started = false;
    try {
        TWavStreamReader reader(FileName, Options.DashIsStandardInput && FileName == StandardInputName);
        TBlockRun run(reader, Options);
        // The first blocks are read before the file is reported: a stream's
        // length is known only as it is read.
        const size_t first = run.Read();
        if (first == 0)
            throw EWavFileError(std::string(ShorterThanABlock) + " (" + std::to_string(TWavStreamReader::BlockFrames) +
                                " frames): " + std::to_string(reader.DataFrames()) + " frames");
        Report.BeginFile(InfoOf(FileName, reader, Options.PeakLevel));
        started = true;
        if (Progress && reader.SizeKnown())
            Progress->Begin(FileName, reader.BlockCount());
        else
            Progress = nullptr;
        auto summary = std::make_unique<TFileSummary>();
        try {
            run.Run(first, Report, *summary, Progress);
        } catch (...) {
            if (Progress)
                Progress->End();
            throw;
        }
        if (Progress)
            Progress->End();
        Report.EndFile(InfoOf(FileName, reader, Options.PeakLevel), *summary);
        return TMeasureOutcome{true, std::string(), Warnings(reader)};
    } catch (const EWavFileError& error) {
        Report.FileError(FileName, error.Message(), started);
        return TMeasureOutcome{false, error.Message(), {}};
    }
}

} // namespace measure
