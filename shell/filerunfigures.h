#pragma once
// The "File levels" figures of a file run, measured in the same pass as the
// run, so that a long file is not read and measured a second time, on the
// user-interface thread, after it. The window's OnData hands over each full
// block as the analyser passes it on, its offsets already taken off, with
// those offsets; a fresh measurer, quimbrel-measure's own, takes the block as
// the file holds it. The figures are those of quimbrel-measure's report.

#include "report/blockmeasurer.h"
#include "report/reportwriter.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct TWaveFormatFields;

class TFileRunFigures {
public:
    // A run of FileName starts, with the peak (or RMS) measure.
    void Begin(const std::string& FileName, bool PeakLevel);
    // The next full block: FrameCount stereo frames at Samples, from which the
    // low 16 bits of LeftOffset and RightOffset were taken off (wrapping), of
    // a file of SampleRate frames per second. Samples are left as they are.
    void AddBlock(const int16_t* Samples, size_t FrameCount, int32_t LeftOffset, int32_t RightOffset,
                  uint32_t SampleRate);
    // The run has fed every block of a file of Format and DataFrames stereo frames.
    void End(const TWaveFormatFields& Format, uint64_t DataFrames);

    // The file's format, frames and blocks measured; complete after End.
    const measure::TFileInfo& Info() const { return FInfo; }
    // What the blocks measured add up to.
    const measure::TFileSummary& Summary() const { return *FSummary; }

private:
    measure::TFileInfo FInfo;                          // the run's file; its blocks so far
    std::unique_ptr<measure::TBlockMeasurer> FMeasurer; // fresh for each run
    std::unique_ptr<measure::TFileSummary> FSummary = std::make_unique<measure::TFileSummary>();
    std::vector<int16_t> FBlock;                       // the block in hand as the file holds it
};
