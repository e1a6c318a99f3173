#include "shell/filerunfigures.h"

#include "analysis/stereopower.h"
#include "audio/wavefilechunks.h"
#include "report/wavstreamreader.h"

void TFileRunFigures::TMeasure::Add(const int16_t* Block, size_t FrameCount, double Start)
{
    // The measurer takes the offsets off in place, so each measure has its own copy.
    Samples.assign(Block, Block + FrameCount * SamplesPerFrame);
    const measure::TBlockLevels levels = Measurer.Measure(Samples.data(), FrameCount);
    Summary.Left.AddBlock(levels.LeftdB, levels.RawPeak.Left, levels.LeftClipped, Start);
    Summary.Right.AddBlock(levels.RightdB, levels.RawPeak.Right, levels.RightClipped, Start);
}

void TFileRunFigures::TMeasure::Finish()
{
    Summary.LeftOffsetEstimate = Measurer.Offsets().LeftOffsetEstimate();
    Summary.RightOffsetEstimate = Measurer.Offsets().RightOffsetEstimate();
}

void TFileRunFigures::Begin(const std::string& FileName)
{
    FInfo = measure::TFileInfo();
    FInfo.FileName = FileName;
    FPeak = std::make_unique<TMeasure>(true);
    FRms = std::make_unique<TMeasure>(false);
}

void TFileRunFigures::AddBlock(const int16_t* Samples, size_t FrameCount, int32_t LeftOffset, int32_t RightOffset,
                               uint32_t SampleRate)
{
    // Only blocks of the report's length add up to its figures.
    if (!FPeak || FrameCount != measure::TWavStreamReader::BlockFrames || SampleRate == 0)
        return;
    // Adding the offsets back undoes their removal exactly: both wrap in 16 bits.
    FBlock.resize(FrameCount * SamplesPerFrame);
    for (size_t i = 0; i < FBlock.size(); i += SamplesPerFrame) {
        FBlock[i] = static_cast<int16_t>(static_cast<uint16_t>(Samples[i]) + static_cast<uint16_t>(LeftOffset));
        FBlock[i + 1] = static_cast<int16_t>(static_cast<uint16_t>(Samples[i + 1]) + static_cast<uint16_t>(RightOffset));
    }
    const double secondsPerBlock = static_cast<double>(measure::TWavStreamReader::BlockFrames) / SampleRate;
    const double start = static_cast<double>(FInfo.Blocks++) * secondsPerBlock;
    FPeak->Add(FBlock.data(), FrameCount, start);
    FRms->Add(FBlock.data(), FrameCount, start);
}

void TFileRunFigures::End(const TWaveFormatFields& Format, uint64_t DataFrames, bool PeakLevel)
{
    FInfo.SampleRate = Format.SampleRate;
    FInfo.Channels = Format.Channels;
    FInfo.DataFrames = DataFrames;
    FInfo.PeakLevel = PeakLevel;
    if (FPeak) {
        FPeak->Finish();
        FRms->Finish();
    }
}

const measure::TFileSummary& TFileRunFigures::Summary() const
{
    static const measure::TFileSummary nothing;
    if (!FPeak)
        return nothing;
    return FInfo.PeakLevel ? FPeak->Summary : FRms->Summary;
}
