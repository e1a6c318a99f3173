#pragma once
// Measures one WAV file from start to end and hands it to a report.

#include "tools/measure/commandline.h"
#include "tools/measure/reportwriter.h"

#include <cstdio>
#include <string>

namespace measure {

// Files of at least this many blocks (a minute at 44,100 Hz) show a progress bar.
constexpr uint64_t ProgressMinBlocks = 600;

// Reads FileName block by block, measures each block as the window would and
// reports it to Report. Progress, when not null, is the terminal that shows a
// progress bar for a long file. Returns an empty string when the file was
// measured, otherwise the reason it was not (Report has been told as well).
std::string MeasureFile(const std::string& FileName, const TMeasureOptions& Options, TReportWriter& Report,
                        std::FILE* Progress);

} // namespace measure
