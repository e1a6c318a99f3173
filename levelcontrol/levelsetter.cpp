#include "levelcontrol/levelsetter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

namespace {

constexpr uint32_t MillisecondsPerSecond = 1000;
constexpr const char* Restored = "; the volume is back where it was.";
constexpr const char* NotRestored = "; the volume could not be put back: ";
constexpr double BlockSeconds = 0.1;
// The smoothing keeps three quarters of the old power per block; a reading
// starts once what is left of a step's change is below SettledShare.
constexpr double KeptShare = 0.75;
constexpr double SettledShare = 0.03;
constexpr int FewestSettleBlocks = 2;
constexpr int MostSettleBlocks = 30;
constexpr double DecibelsPerBel = 10.0;

std::function<double(long)> ScaleOf(const TCaptureVolume& Volume)
{
    if (!Volume.HasDecibels())
        return {};
    return [&Volume](long Value) { return Volume.DecibelsAt(Value); };
}

// Blocks until the smoothing has all but reached a change of ChangeDb.
int SettleBlocks(double ChangeDb)
{
    // What is left is a share of the new power: large after a step down.
    const double left = std::abs(std::pow(10.0, -ChangeDb / DecibelsPerBel) - 1.0);
    if (left <= SettledShare)
        return FewestSettleBlocks;
    const int blocks = static_cast<int>(std::ceil(std::log(SettledShare / left) / std::log(KeptShare)));
    return std::clamp(blocks, FewestSettleBlocks, MostSettleBlocks);
}

} // namespace

TLevelSetter::TLevelSetter(TCaptureVolume& Volume, double TargetdB, double TolerancedB, uint32_t Now)
    : FVolume(Volume), FSaved(Volume.Snapshot()),
      FSearch(Volume.Min(), Volume.Max(), Volume.Volume(), TargetdB, TolerancedB, ScaleOf(Volume)), FStart(Now)
{
    FMeasure.Restart(StartSkipBlocks, TSettledLevel::WindowBlocks, TargetdB);
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
    const double expected = FSearch.ExpectedChangeDb();
    FMeasuringLatency = FLatencyBlocks < 0 && expected != 0.0;
    const int latency = FLatencyBlocks < 0 ? LongestLatencyBlocks : FLatencyBlocks;
    FMeasure.Restart(latency + SettleBlocks(expected),
                     FSearch.Verifying() ? TSettledLevel::VerifyBlocks : TSettledLevel::WindowBlocks,
                     FSearch.TargetDb(), expected, FShownDb);
}

void TLevelSetter::BlockShown(double LevelDb, uint32_t Now)
{
    if (!FRunning)
        return;
    Tick(Now);
    if (!FRunning)
        return;
    const bool complete = FMeasure.Add(LevelDb);
    FShownDb = LevelDb;
    if (!complete)
        return;
    if (FMeasuringLatency)
        FLatencyBlocks = FMeasure.MovedAfter() < 0 ? LongestLatencyBlocks
                                                   : std::min(FMeasure.MovedAfter() - 1, LongestLatencyBlocks);
    FSearch.Measured(FMeasure.PeakDb());
    if (FSearch.State() == TLevelSearchState::lsMeasuring)
        Apply();
    else
        Ended();
}

void TLevelSetter::Ended()
{
    char text[200];
    switch (FSearch.State()) {
    case TLevelSearchState::lsDone:
        std::snprintf(text, sizeof text, "Level set: peaks at %.1f dB over %.0f s, volume %d %%%s", FSearch.LevelDb(),
                      TSettledLevel::VerifyBlocks * BlockSeconds, FVolume.PercentAt(FSearch.Volume()),
                      FSearch.Coarse() ? " (the mixer has no step closer to the mark)" : "");
        Finish(text, true);
        return;
    case TLevelSearchState::lsTooWeak:
        std::snprintf(text, sizeof text,
                      "The signal is too weak: even at full volume its peaks stay at %.1f dB, below the mark",
                      FSearch.LevelDb());
        Stop(text);
        return;
    case TLevelSearchState::lsTooLoud:
        Stop("The input is too loud: even at the lowest volume it goes above the mark");
        return;
    case TLevelSearchState::lsNoSignal:
        Stop("No signal at the input");
        return;
    case TLevelSearchState::lsMeasuring:
        return;
    }
}

std::string TLevelSetter::Progress() const
{
    char text[80];
    const unsigned seconds = FElapsed / MillisecondsPerSecond;
    if (FSearch.Verifying())
        std::snprintf(text, sizeof text, "Verifying peaks at volume %d %%... %u s", FVolume.PercentAt(FSearch.Volume()),
                      seconds);
    else
        std::snprintf(text, sizeof text, "Measuring peaks... %u s", seconds);
    return text;
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
