#pragma once
// A file's figures as text, shared by the text report and the window's
// "File levels": the heading line, and rows of a name and a text per channel.

#include "report/reportwriter.h"

#include <string>
#include <vector>

namespace measure {

struct TFigureRow {
    std::string Name;    // "max level dB", "first clip", ...
    std::string Left;    // the left channel's figure
    std::string Right;   // the right channel's figure
    bool Detail = false; // belongs to the row above: shown indented under it
};

// "duration 90.50 s, 44100 Hz, 2 channels, 905 blocks of 4410 frames, peak
// measure", and how much of a tail was not measured.
std::string FileHeading(const TFileInfo& Info);
// Max, median and 90th-percentile level, sample peak, DC-offset estimate.
std::vector<TFigureRow> LevelRows(const TFileSummary& Summary);
// Clipped blocks and, when a block clipped, the first and last clip.
std::vector<TFigureRow> ClipRows(const TFileSummary& Summary);

} // namespace measure
