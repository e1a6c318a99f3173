#pragma once
// Measures one WAV file from start to end and hands it to a report.

#include "report/reportwriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace measure {

// How a file is measured and what is reported of it.
struct TFileMeasureOptions {
    bool PeakLevel = true; // peak measure, as the window starts; false for RMS
    bool Blocks = false;   // every block goes to the report as well as the summary
    bool DashIsStandardInput = false; // a file named "-" is standard input (quimbrel-measure's command line)
};

// Told how far a long file's measuring has gone; a terminal draws a bar from it.
class TMeasureProgress {
public:
    virtual ~TMeasureProgress() = default;
    // Measuring of FileName begins; it has Blocks full blocks.
    virtual void Begin(const std::string& FileName, uint64_t Blocks) = 0;
    // Done blocks of them have been measured.
    virtual void Update(uint64_t Done) = 0;
    // The file has been measured, or measuring it failed.
    virtual void End() = 0;
};

// How one file went.
struct TMeasureOutcome {
    bool Measured = false;             // its blocks were measured and reported
    std::string Message;               // why it was not (Report has been told as well); empty when it was
    std::vector<std::string> Warnings; // one line each about a file that was measured
};

// Reads FileName block by block, measures each block as the window would and
// reports it to Report. Progress, when not null, is told how far it has gone
// (a stream of unknown length is not). A file cut short is measured as far as
// it holds full blocks, with a warning; a file without one full block is not
// measured.
TMeasureOutcome MeasureFile(const std::string& FileName, const TFileMeasureOptions& Options, TReportWriter& Report,
                            TMeasureProgress* Progress);

} // namespace measure
