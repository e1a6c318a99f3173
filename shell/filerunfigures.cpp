#include "shell/filerunfigures.h"

#include "analysis/stereopower.h"
#include "audio/wavefilechunks.h"
#include "report/wavstreamreader.h"

void TFileRunFigures::Begin(const std::string& FileName, bool PeakLevel)
{
    FInfo = measure::TFileInfo();
    FInfo.FileName = FileName;
    FInfo.PeakLevel = PeakLevel;
    FMeasurer = std::make_unique<measure::TBlockMeasurer>(PeakLevel);
    FSummary = std::make_unique<measure::TFileSummary>();
}

void TFileRunFigures::AddBlock(const int16_t* Samples, size_t FrameCount, int32_t LeftOffset, int32_t RightOffset,
                               uint32_t SampleRate)
{
    // Only blocks of the report's length add up to its figures.
    if (!FMeasurer || FrameCount != measure::TWavStreamReader::BlockFrames || SampleRate == 0)
        return;
    // Adding the offsets back undoes their removal exactly: both wrap in 16 bits.
    FBlock.resize(FrameCount * SamplesPerFrame);
    for (size_t i = 0; i < FBlock.size(); i += SamplesPerFrame) {
        FBlock[i] = static_cast<int16_t>(static_cast<uint16_t>(Samples[i]) + static_cast<uint16_t>(LeftOffset));
        FBlock[i + 1] = static_cast<int16_t>(static_cast<uint16_t>(Samples[i + 1]) + static_cast<uint16_t>(RightOffset));
    }
    const double secondsPerBlock = static_cast<double>(measure::TWavStreamReader::BlockFrames) / SampleRate;
    const double start = static_cast<double>(FInfo.Blocks++) * secondsPerBlock;
    const measure::TBlockLevels levels = FMeasurer->Measure(FBlock.data(), FrameCount);
    FSummary->Left.AddBlock(levels.LeftdB, levels.RawPeak.Left, levels.LeftClipped, start);
    FSummary->Right.AddBlock(levels.RightdB, levels.RawPeak.Right, levels.RightClipped, start);
}

void TFileRunFigures::End(const TWaveFormatFields& Format, uint64_t DataFrames)
{
    FInfo.SampleRate = Format.SampleRate;
    FInfo.Channels = Format.Channels;
    FInfo.DataFrames = DataFrames;
    if (FMeasurer) {
        FSummary->LeftOffsetEstimate = FMeasurer->Offsets().LeftOffsetEstimate();
        FSummary->RightOffsetEstimate = FMeasurer->Offsets().RightOffsetEstimate();
    }
}
