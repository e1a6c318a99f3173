#include "levelcontrol/levelsearch.h"

#include <algorithm>

TLevelSearch::TLevelSearch(long Min, long Max, long Start, double TargetdB, double TolerancedB)
    : FMin(Min), FMax(std::max(Min, Max)), FTargetDb(TargetdB), FToleranceDb(TolerancedB),
      FVolume(std::clamp(Start, FMin, FMax))
{
}

void TLevelSearch::Measured(double LevelDb)
{
    if (FState != TLevelSearchState::lsMeasuring)
        return;
    ++FMeasurements;
    const bool confirming = FConfirming;
    FConfirming = false;
    if (LevelDb > FTargetDb) {
        FHigh = FVolume;
        FHighKnown = true;
        FLowKnown = FLowKnown && !confirming; // Low itself read too high this time
    } else if (LevelDb >= FTargetDb - FToleranceDb || confirming) {
        FCoarse = LevelDb < FTargetDb - FToleranceDb;
        End(TLevelSearchState::lsDone, FVolume, LevelDb);
        return;
    } else {
        FLow = FVolume;
        FLowKnown = true;
    }
    FLevelDb = LevelDb;
    ChooseNext();
}

void TLevelSearch::ChooseNext()
{
    if (!FHighKnown) {
        if (FLow == FMax)
            End(TLevelSearchState::lsTooWeak, FMax, FLevelDb);
        else
            FVolume = FMax;
        return;
    }
    if (!FLowKnown) {
        if (FHigh == FMin)
            End(TLevelSearchState::lsTooLoud, FMin, FLevelDb);
        else
            FVolume = FMin + (FHigh - FMin) / 2;
        return;
    }
    if (FHigh - FLow <= 1) {
        FVolume = FLow;
        FConfirming = true;
        return;
    }
    FVolume = FLow + (FHigh - FLow) / 2;
}

void TLevelSearch::End(TLevelSearchState State, long Volume, double LevelDb)
{
    FState = State;
    FVolume = Volume;
    FLevelDb = LevelDb;
}
