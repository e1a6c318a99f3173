#pragma once
// Measures one WAV file from start to end and hands it to a report.

#include "tools/measure/commandline.h"
#include "tools/measure/reportwriter.h"

#include <cstdio>
#include <string>

namespace measure {

// Files of at least this many blocks (a minute at 44,100 Hz) show a progress bar.
constexpr uint64_t ProgressMinBlocks = 600;

// How one file went.
struct TMeasureOutcome {
    bool Measured = false; // its blocks were measured and reported
    std::string Message;   // why it was not (Report has been told as well), or a
                           // warning about what was; empty when there is nothing to say
};

// Reads FileName block by block, measures each block as the window would and
// reports it to Report. Progress, when not null, is the terminal that shows a
// progress bar for a long file. A file cut short is measured as far as it
// holds full blocks, with a warning.
TMeasureOutcome MeasureFile(const std::string& FileName, const TMeasureOptions& Options, TReportWriter& Report,
                            std::FILE* Progress);

} // namespace measure
