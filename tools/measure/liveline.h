#pragma once
// The live levels on a terminal: one line, redrawn in place for every block.
// At 80 columns, with the left channel at -6 dB and the right at -20 dB:
//   L ##################|####.||.   -6.0  R ##############....|.....||.  -20.0
// a bar per channel over the meter's range (-40 to 0 dB) with the window's
// three marks (-12, -3 and -2.5 dB) drawn in as "|", each level in dB, and
// " CLIP" after them while the block holds a sample at full scale. The bars
// take what the terminal's width leaves; the last column stays free, so the
// line never wraps.

#include "tools/measure/liveview.h"

#include <cstdio>
#include <string>

namespace measure {

class TLiveLine : public TLiveView {
public:
    static constexpr double BottomdB = -40.0; // the meter's range
    static constexpr double TopdB = 0.0;
    static constexpr int MinBarCells = 10;    // narrower bars are left out
    static constexpr int DefaultColumns = 80; // when the terminal does not say

    // Draws on Out, a terminal.
    explicit TLiveLine(std::FILE* Out) : FOut(Out) {}

    void Block(double StartSeconds, const TBlockLevels& Levels) override;
    void End() override;

    // The line for Levels on a terminal of Columns columns.
    static std::string Text(const TBlockLevels& Levels, int Columns);
    // One bar of Cells cells for LeveldB: the cells up to the one that holds
    // the level are "#", the others ".", and a mark's cell is "|".
    static std::string Bar(float LeveldB, int Cells);

private:
    int Columns() const;

    std::FILE* FOut;   // the terminal (standard output)
    std::string FLine; // the line last drawn; empty before the first block and after End
};

} // namespace measure
