#pragma once
// A one-line progress bar, redrawn in place on a terminal.

#include <cstdint>
#include <cstdio>
#include <string>

namespace measure {

class TProgressBar {
public:
    // Cells between the brackets.
    static constexpr int BarCells = 30;

    // Draws on Out (standard error) for Label; Total steps make 100 %.
    TProgressBar(std::FILE* Out, std::string Label, uint64_t Total);
    ~TProgressBar();
    TProgressBar(const TProgressBar&) = delete;
    TProgressBar& operator=(const TProgressBar&) = delete;

    // Redraws when the whole percentage has changed since the last drawing.
    void Update(uint64_t Done);
    // Clears the line, leaving the terminal as it was.
    void Clear();

    // The text of the bar at Done of Total: "label [#####.....]  45%".
    static std::string Text(const std::string& Label, uint64_t Done, uint64_t Total);

private:
    std::FILE* FOut;        // the terminal
    std::string FLabel;     // shown before the bar
    uint64_t FTotal;        // steps at 100 %
    int FShownPercent = -1; // percentage last drawn; -1 before the first drawing
    bool FCleared = false;  // the line has been cleared
};

} // namespace measure
