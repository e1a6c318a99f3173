#include "levelcontrol/levelsetter.h"

#include <cstdio>

namespace {

constexpr uint32_t MillisecondsPerSecond = 1000;
constexpr const char* Restored = "; the volume is back where it was.";
constexpr const char* NotRestored = "; the volume could not be put back: ";

} // namespace

TLevelSetter::TLevelSetter(TCaptureVolume& Volume, double TargetdB, double TolerancedB, uint32_t Now)
    : FVolume(Volume), FSaved(Volume.Snapshot()),
      FSearch(Volume.Min(), Volume.Max(), Volume.Volume(), TargetdB, TolerancedB), FMeasure(TargetdB, TolerancedB),
      FStart(Now)
{
    Apply();
}

void TLevelSetter::Apply()
{
    // The first reading is taken at the volume as the operator left it;
    // every step after it sets all channels alike.
    if (FSearch.Volume() != FVolume.Volume()) {
        FMoved = true;
        if (!FVolume.SetVolume(FSearch.Volume())) {
            Stop("The mixer refused the volume (" + FVolume.Error() + ")");
            return;
        }
    }
    FMeasure.Restart(FSearch.Final(), FSearch.Measurements() == 0);
}

void TLevelSetter::BlockShown(double LevelDb, uint32_t Now)
{
    if (!FRunning)
        return;
    Tick(Now);
    if (!FRunning || !FMeasure.Add(LevelDb))
        return;
    FSearch.Measured(FMeasure.LevelDb());
    char text[160];
    switch (FSearch.State()) {
    case TLevelSearchState::lsMeasuring:
        Apply();
        return;
    case TLevelSearchState::lsDone:
        std::snprintf(text, sizeof text, "Level set: %.1f dB at volume %d %%%s", FSearch.LevelDb(),
                      FVolume.PercentAt(FSearch.Volume()),
                      FSearch.Coarse() ? " (the mixer has no step closer to the mark)" : "");
        Finish(text, true);
        return;
    case TLevelSearchState::lsTooWeak:
        Stop("The signal is too weak: even at full volume it stays below the mark");
        return;
    case TLevelSearchState::lsTooLoud:
        Stop("The input is too loud: even at the lowest volume it goes above the mark");
        return;
    }
}

void TLevelSetter::Tick(uint32_t Now)
{
    if (!FRunning)
        return;
    FElapsed = Now - FStart;
    if (FElapsed >= TimeLimitMs)
        Stop("No level found within " + std::to_string(TimeLimitMs / MillisecondsPerSecond) + " s");
}

void TLevelSetter::Stop(const std::string& Why)
{
    if (!FRunning)
        return;
    if (FMoved && !FVolume.Restore(FSaved)) {
        Finish(Why + NotRestored + FVolume.Error(), false);
        return;
    }
    Finish(Why + Restored, false);
}

void TLevelSetter::Finish(const std::string& Message, bool Success)
{
    FRunning = false;
    FSucceeded = Success;
    FMessage = Message;
}
