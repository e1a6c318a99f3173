#include "shell/levelsetter.h"

#include "platform/alsa/capturemixer.h"

#include <cstdio>

namespace {

constexpr uint32_t MillisecondsPerSecond = 1000;
constexpr const char* Restored = "; the volume is back where it was.";

} // namespace

TLevelSetter::TLevelSetter(TCaptureMixer& Mixer, double TargetdB, uint32_t Now)
    : FMixer(Mixer), FOriginalVolume(Mixer.Volume()),
      FSearch(Mixer.Min(), Mixer.Max(), Mixer.Volume(), TargetdB, ToleranceDb), FMeasure(TargetdB, ToleranceDb),
      FStart(Now)
{
    Apply();
}

void TLevelSetter::Apply()
{
    if (FSearch.Volume() != FMixer.Volume() && !FMixer.SetVolume(FSearch.Volume())) {
        Stop("The mixer refused the volume");
        return;
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
                      FMixer.PercentAt(FSearch.Volume()),
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
    FMixer.SetVolume(FOriginalVolume);
    Finish(Why + Restored, false);
}

void TLevelSetter::Finish(const std::string& Message, bool Success)
{
    FRunning = false;
    FSucceeded = Success;
    FMessage = Message;
}
