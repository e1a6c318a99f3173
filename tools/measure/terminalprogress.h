#pragma once
// The progress of a long file's measuring, drawn as a bar on a terminal.

#include "report/filemeasurement.h"
#include "tools/measure/progressbar.h"

#include <cstdio>
#include <memory>

namespace measure {

// Files of at least this many blocks (a minute at 44,100 Hz) show a progress bar.
constexpr uint64_t ProgressMinBlocks = 600;

class TTerminalProgress : public TMeasureProgress {
public:
    // Draws on Out (standard error, when it is a terminal).
    explicit TTerminalProgress(std::FILE* Out) : FOut(Out) {}

    void Begin(const std::string& FileName, uint64_t Blocks) override;
    void Update(uint64_t Done) override;
    void End() override;

private:
    std::FILE* FOut;                    // the terminal
    std::unique_ptr<TProgressBar> FBar; // the bar of the file in hand; none for a short file
};

} // namespace measure
