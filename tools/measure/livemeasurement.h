#pragma once
// A live run: the capture input measured block by block as the window's
// meter would show it, each block shown as it comes, until --seconds of
// input have been measured or Ctrl-C; then the report a file gets.

#include "tools/measure/commandline.h"

#include <string>

namespace measure {

// Runs Options.Input live. Standard output gets the live line (on a terminal,
// without --json) or a line per block, then the report: the text report, or
// with --json one line holding the JSON document. Version goes into that
// document. Returns true when the run ended as asked; false when the input
// could not be opened or was lost, which standard error tells in one line
// (the blocks measured until then are still reported).
bool MeasureLive(const TMeasureOptions& Options, const std::string& Version);

} // namespace measure
