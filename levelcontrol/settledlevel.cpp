#include "levelcontrol/settledlevel.h"

#include <algorithm>
#include <cmath>

TSettledLevel::TSettledLevel(double TargetdB, double TolerancedB) : FTargetDb(TargetdB), FToleranceDb(TolerancedB) {}

void TSettledLevel::Restart(bool Final, bool Unhurried)
{
    FFinal = Final;
    FUnhurried = Unhurried;
    FBlocks = 0;
    FStillBlocks = 0;
    FSettlingBlocks = 0;
    FSettled = false;
    FWindowBlocks = 0;
    FComplete = false;
}

bool TSettledLevel::Add(double LevelDb)
{
    if (FComplete)
        return true;
    ++FBlocks;
    const double step = LevelDb - FPreviousDb;
    FPreviousDb = LevelDb;
    // The dead blocks, and the first live one, which has no live predecessor.
    if (FBlocks <= DeadBlocks + 1)
        return false;
    if (FSettled)
        return Windowing(LevelDb);
    if (!FFinal && !FUnhurried && Clear(LevelDb, step))
        return Complete(LevelDb);
    Settling(step);
    return false;
}

bool TSettledLevel::Clear(double LevelDb, double StepDb) const
{
    const double bottom = FTargetDb - FToleranceDb;
    const double settling = LevelDb + RemainingSteps * StepDb;
    const bool below = LevelDb < bottom - ClearMarginDb && (StepDb < 0 || settling < bottom - ForecastMarginDb);
    const bool above = LevelDb > FTargetDb + ClearMarginDb && (StepDb > 0 || settling > FTargetDb + ForecastMarginDb);
    return below || above;
}

void TSettledLevel::Settling(double StepDb)
{
    FStillBlocks = std::abs(StepDb) < (FFinal ? FinalStepDb : RoughStepDb) ? FStillBlocks + 1 : 0;
    ++FSettlingBlocks;
    if (FStillBlocks >= (FFinal ? FinalBlocks : RoughBlocks) || FSettlingBlocks >= SettleLimitBlocks) {
        FSettled = true;
        FWindowBlocks = 0;
    }
}

bool TSettledLevel::Windowing(double LevelDb)
{
    if (FWindowBlocks == 0)
        FWindowFirstDb = LevelDb;
    FWindowMaxDb = FWindowBlocks == 0 ? LevelDb : std::max(FWindowMaxDb, LevelDb);
    ++FWindowBlocks;
    // Above the target is above whatever follows.
    if (FWindowMaxDb > FTargetDb)
        return Complete(FWindowMaxDb);
    if (FFinal)
        return FWindowBlocks >= FullWindowBlocks && Complete(FWindowMaxDb);
    if (FWindowBlocks < WindowBlocks)
        return false;
    // Where the level is going, for the side; a result is read exactly.
    // The window's mean step: a single step of a noisy level says little.
    const double meanStep = (LevelDb - FWindowFirstDb) / (FWindowBlocks - 1);
    const double settling = FWindowMaxDb + RemainingSteps * meanStep;
    if (settling < FTargetDb - FToleranceDb || settling > FTargetDb)
        return Complete(settling);
    // A result: settled exactly, then 2 s.
    FFinal = true;
    FSettled = false;
    FStillBlocks = 0;
    FSettlingBlocks = 0;
    return false;
}

bool TSettledLevel::Complete(double LevelDb)
{
    FResultDb = LevelDb;
    FComplete = true;
    return true;
}
