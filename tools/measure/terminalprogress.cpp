#include "tools/measure/terminalprogress.h"

namespace measure {

void TTerminalProgress::Begin(const std::string& FileName, uint64_t Blocks)
{
    FBar.reset();
    if (Blocks >= ProgressMinBlocks)
        FBar = std::make_unique<TProgressBar>(FOut, FileName, Blocks);
}

void TTerminalProgress::Update(uint64_t Done)
{
    if (FBar)
        FBar->Update(Done);
}

void TTerminalProgress::End()
{
    FBar.reset();
}

} // namespace measure
