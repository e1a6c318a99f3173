#pragma once
// The shape every report takes, whatever its format: one file after another,
// each with its blocks (when asked for) and then its summary, or an error.

#include "report/blockmeasurer.h"
#include "report/channelsummary.h"

#include <cstdint>
#include <string>

namespace measure {

// What is known of a file before its blocks are read.
struct TFileInfo {
    std::string FileName;    // as given on the command line
    uint32_t SampleRate = 0; // frames per second
    uint16_t Channels = 0;   // as the format record gives them; 1 and 2 are measured
    uint64_t DataFrames = 0; // frames in the data chunk (after widening mono)
    uint64_t Blocks = 0;     // full blocks of 4410 frames; only these are measured
    bool PeakLevel = true;   // peak measure; RMS when false
    bool CutShort = false;   // the file ends before its data chunk does: Blocks are those it holds
    bool Streamed = false;   // the header's sizes were a streaming recorder's placeholders: read to the end
    bool CountedAtEnd = false; // a stream of unknown length: DataFrames, Blocks and CutShort are
                               // final only at EndFile
};

// What a file's blocks add up to.
struct TFileSummary {
    TChannelSummary Left;
    TChannelSummary Right;
    int32_t LeftOffsetEstimate = 0;  // final DC-offset estimate, sample units
    int32_t RightOffsetEstimate = 0;
};

class TReportWriter {
public:
    virtual ~TReportWriter() = default;
    virtual void BeginFile(const TFileInfo& Info) = 0;
    // One block's levels; called only when block rows were asked for.
    virtual void Block(double StartSeconds, const TBlockLevels& Levels) = 0;
    virtual void EndFile(const TFileInfo& Info, const TFileSummary& Summary) = 0;
    // A file that could not be measured; Started tells whether BeginFile ran for it.
    virtual void FileError(const std::string& FileName, const std::string& Message, bool Started) = 0;
    // After the last file.
    virtual void Finish() = 0;
};

} // namespace measure
