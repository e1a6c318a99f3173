#include "tools/measure/progressbar.h"

namespace measure {

namespace {

constexpr uint64_t Hundred = 100;
const char* const ClearLine = "\r\033[K"; // back to the line's start, erase to its end

int PercentOf(uint64_t Done, uint64_t Total)
{
    return Total == 0 ? static_cast<int>(Hundred) : static_cast<int>(Done >= Total ? Hundred : Done * Hundred / Total);
}

} // namespace

TProgressBar::TProgressBar(std::FILE* Out, std::string Label, uint64_t Total)
    : FOut(Out), FLabel(std::move(Label)), FTotal(Total)
{
}

TProgressBar::~TProgressBar()
{
    Clear();
}

std::string TProgressBar::Text(const std::string& Label, uint64_t Done, uint64_t Total)
{
    const int percent = PercentOf(Done, Total);
    const int filled = percent * BarCells / static_cast<int>(Hundred);
    char tail[8];
    std::snprintf(tail, sizeof tail, "] %3d%%", percent);
    return Label + " [" + std::string(static_cast<size_t>(filled), '#') +
           std::string(static_cast<size_t>(BarCells - filled), '.') + tail;
}

void TProgressBar::Update(uint64_t Done)
{
    const int percent = PercentOf(Done, FTotal);
    if (percent == FShownPercent)
        return;
    FShownPercent = percent;
    std::fprintf(FOut, "\r%s", Text(FLabel, Done, FTotal).c_str());
    std::fflush(FOut);
}

void TProgressBar::Clear()
{
    if (FCleared || FShownPercent < 0)
        return;
    std::fputs(ClearLine, FOut);
    std::fflush(FOut);
    FCleared = true;
}

} // namespace measure
