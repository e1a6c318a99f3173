#pragma once
// The "File levels" figures of a file run, measured in the same pass as the
// run, so that a long file is not read and measured a second time, on the
// user-interface thread, after it. The window's OnData hands over each full
// block as the analyser passes it on, its offsets already taken off, with
// those offsets; fresh measurers, quimbrel-measure's own, take the block as
// the file holds it. The figures are those of quimbrel-measure's report.
// Both measures run, because the figures shown are those of the measure
// ticked when the run ends, as if the file were measured then.

#include "report/blockmeasurer.h"
#include "report/reportwriter.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TWaveFormatFields;

class TFileRunFigures {
public:
    // A run of FileName starts.
    void Begin(const std::string& FileName);
    // The next full block: FrameCount stereo frames at Samples, from which the
    // low 16 bits of LeftOffset and RightOffset were taken off (wrapping), of
    // a file of SampleRate frames per second. Samples are left as they are.
    void AddBlock(const int16_t* Samples, size_t FrameCount, int32_t LeftOffset, int32_t RightOffset,
                  uint32_t SampleRate);
    // The run has fed every block of a file of Format and DataFrames stereo
    // frames; its figures are those of the peak (or RMS) measure.
    void End(const TWaveFormatFields& Format, uint64_t DataFrames, bool PeakLevel);

    // The file's format, frames and blocks measured; complete after End.
    const measure::TFileInfo& Info() const { return FInfo; }
    // What the blocks measured add up to, by the measure End chose.
    const measure::TFileSummary& Summary() const;

private:
    // One measure's measurer and what it has added up.
    struct TMeasure {
        explicit TMeasure(bool PeakLevel) : Measurer(PeakLevel) {}
        measure::TBlockMeasurer Measurer;
        measure::TFileSummary Summary;
        std::vector<int16_t> Samples; // the block's copy that the measurer takes the offsets off
        void Add(const int16_t* Block, size_t FrameCount, double Start);
        void Finish();
    };

    measure::TFileInfo FInfo;               // the run's file; its blocks so far
    std::unique_ptr<TMeasure> FPeak;        // fresh for each run
    std::unique_ptr<TMeasure> FRms;
    std::vector<int16_t> FBlock;            // the block in hand as the file holds it
};
