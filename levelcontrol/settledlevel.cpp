#include "levelcontrol/settledlevel.h"

#include <algorithm>
#include <cmath>

namespace {

// The share of a step's change the smoothing shows in its first block
// (one quarter of the new power); a move counts at half of it.
constexpr double FirstBlockShare = 0.25;
constexpr double MovedShare = 0.5;
constexpr double SmallestMoveDb = 0.2; // below this a modulated level moves by itself
constexpr double DecibelsPerBel = 10.0;

} // namespace

void TSettledLevel::Restart(int Skip, int Window, double MarkDb, double ExpectedDb, double FromDb)
{
    FSkip = Skip;
    FWindowBlocks = Window;
    FMarkDb = MarkDb;
    FExpectedDb = ExpectedDb;
    FFromDb = FromDb;
    FBlocks = 0;
    FWindow = 0;
    FPeakDb = 0.0;
    FPeakBlock = 0;
    FMovedAfter = -1;
    FComplete = false;
}

bool TSettledLevel::Moved(double LevelDb) const
{
    const double gain = std::pow(10.0, FExpectedDb / DecibelsPerBel);
    const double first = DecibelsPerBel * std::log10(1.0 - FirstBlockShare + FirstBlockShare * gain);
    const double needed = std::max(SmallestMoveDb, std::abs(first) * MovedShare);
    const double moved = LevelDb - FFromDb;
    return FExpectedDb > 0 ? moved >= needed : moved <= -needed;
}

bool TSettledLevel::Add(double LevelDb)
{
    if (FComplete)
        return true;
    ++FBlocks;
    if (FMovedAfter < 0 && FExpectedDb != 0.0 && Moved(LevelDb))
        FMovedAfter = FBlocks;
    if (FBlocks <= FSkip)
        return false;
    if (FWindow == 0 || LevelDb > FPeakDb + RisingDb)
        FPeakBlock = FWindow;
    FPeakDb = FWindow == 0 ? LevelDb : std::max(FPeakDb, LevelDb);
    ++FWindow;
    if (FWindow < WindowBlocks)
        return false;
    if (FWindowBlocks > WindowBlocks)
        FComplete = FWindow >= FWindowBlocks || FPeakDb > FMarkDb;
    else
        FComplete = FWindow - FPeakBlock > RiseBlocks || FWindow >= LongestBlocks;
    return FComplete;
}
