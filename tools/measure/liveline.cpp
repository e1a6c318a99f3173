#include "tools/measure/liveline.h"

#include "report/markadvice.h"
#include "tools/measure/terminal.h"

#include <algorithm>
#include <cmath>

namespace measure {

namespace {

const char* const EraseToEnd = "\033[K";
constexpr const char* ClipSign = " CLIP";
// Everything but the bars: "L " bar " -10.3" "  R " bar " -10.4" and the clip sign.
constexpr int FixedColumns = 25;
constexpr int FreeLastColumn = 1;

// Which cell (0 to Cells - 1) holds LeveldB.
int CellOf(double LeveldB, int Cells)
{
    const double position = (LeveldB - TLiveLine::BottomdB) / (TLiveLine::TopdB - TLiveLine::BottomdB) * Cells;
    return std::clamp(static_cast<int>(std::floor(position)), 0, Cells - 1);
}

std::string Level(float LeveldB)
{
    char text[16];
    std::snprintf(text, sizeof text, " %6.1f", LeveldB);
    return text;
}

} // namespace

std::string TLiveLine::Bar(float LeveldB, int Cells)
{
    const int lit = LeveldB <= BottomdB ? 0 : CellOf(LeveldB, Cells) + 1;
    std::string bar(static_cast<size_t>(lit), '#');
    bar.append(static_cast<size_t>(Cells - lit), '.');
    for (const TMark& mark : Marks)
        bar[static_cast<size_t>(CellOf(-mark.BelowFullScaledB, Cells))] = '|';
    return bar;
}

std::string TLiveLine::Text(const TBlockLevels& Levels, int Columns)
{
    const int cells = (Columns - FreeLastColumn - FixedColumns) / 2;
    const auto channel = [&](const char* Label, float LeveldB) {
        return Label + (cells >= MinBarCells ? Bar(LeveldB, cells) : std::string()) + Level(LeveldB);
    };
    const std::string parts[] = {channel("L ", Levels.LeftdB), channel("  R ", Levels.RightdB),
                                 Levels.LeftClipped || Levels.RightClipped ? ClipSign : ""};
    // On a terminal too narrow even for the numbers, what does not fit is left
    // out whole rather than wrapped or cut.
    std::string line;
    for (const std::string& part : parts) {
        if (static_cast<int>(line.size() + part.size()) > Columns - FreeLastColumn)
            break;
        line += part;
    }
    return line;
}

int TLiveLine::Columns() const
{
    const int columns = TerminalColumns(FOut);
    return columns > 0 ? columns : DefaultColumns;
}

void TLiveLine::Block(double, const TBlockLevels& Levels)
{
    // The width is asked for every time, so the line follows a resized terminal.
    FLine = Text(Levels, Columns());
    std::fprintf(FOut, "\r%s%s", FLine.c_str(), EraseToEnd);
    std::fflush(FOut);
}

void TLiveLine::End()
{
    // The last line stays, drawn once more over what the terminal echoed
    // (the ^C that ended the run), and the report begins below it.
    if (!FLine.empty())
        std::fprintf(FOut, "\r%s%s\n", FLine.c_str(), EraseToEnd);
    std::fflush(FOut);
    FLine.clear();
}

} // namespace measure
