// The level search with its step measurement, against simulated mixers: a
// plain function gives the input's level for each step of the mixer, and a
// simulated meter shows it late (the server's buffers) and smoothed as the
// analyser smooths, block by block, optionally with noise. Each case must end
// the way an operator expects, within the 15 s that Set level may take.

#include "levelcontrol/levelsearch.h"
#include "levelcontrol/settledlevel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <deque>
#include <functional>

namespace {

constexpr double NOAAMarkDb = -3.0;
constexpr double ToleranceDb = 0.5;
constexpr int BlockLimit = 150;   // 15 s of 100 ms blocks
constexpr int LatencyBlocks = 3;  // blocks still on their way when the volume changes
constexpr double SilenceDb = -90.3;
constexpr long ServerSteps = 65536; // a sound server's volume: 0 to 100 %

struct TMixer {
    long Min;
    long Max;
    long Start;
    std::function<double(long)> LevelAt; // the input's level at a step, dB
};

struct TOutcome {
    TLevelSearchState State;
    long Volume;
    double MeasuredDb;
    int Blocks;
    int Measurements;
};

// The smoothed meter of the analyser: three quarters old power, one quarter new.
class TSimulatedMeter {
public:
    explicit TSimulatedMeter(double NoiseDb) : FNoiseDb(NoiseDb) {}
    double Show(double InputDb)
    {
        FState = FState * 1664525u + 1013904223u; // a fixed generator: the same noise every run
        const double noise = FNoiseDb * ((FState >> 8) / double(1u << 24) * 2.0 - 1.0);
        const double power = std::pow(10.0, (InputDb + noise) / 10.0);
        FPower = FPower < 0 ? power : 0.75 * FPower + 0.25 * power;
        return 10.0 * std::log10(FPower);
    }

private:
    double FNoiseDb;
    double FPower = -1.0;
    uint32_t FState = 1;
};

TOutcome Search(const TMixer& Mixer, double NoiseDb = 0.0)
{
    TLevelSearch search(Mixer.Min, Mixer.Max, Mixer.Start, NOAAMarkDb, ToleranceDb);
    TSettledLevel measure(NOAAMarkDb, ToleranceDb);
    TSimulatedMeter meter(NoiseDb);
    std::deque<long> path(LatencyBlocks, Mixer.Start); // the volume each block on its way was captured at
    int blocks = 0;
    measure.Restart(false, true);
    while (search.State() == TLevelSearchState::lsMeasuring && blocks < 10 * BlockLimit) {
        path.push_back(search.Volume());
        const double shown = meter.Show(Mixer.LevelAt(path.front()));
        path.pop_front();
        ++blocks;
        if (!measure.Add(shown))
            continue;
        search.Measured(measure.LevelDb());
        measure.Restart(search.Final());
    }
    return {search.State(), search.Volume(), search.LevelDb(), blocks, search.Measurements()};
}

// A sound server's cubic volume on a source of SourceDb.
std::function<double(long)> Cubic(double SourceDb)
{
    return [SourceDb](long v) {
        return v == 0 ? SilenceDb : SourceDb + 60.0 * std::log10(double(v) / ServerSteps);
    };
}

// A card's gain: Steps of StepDb from MinGainDb, on a source of SourceDb.
std::function<double(long)> Linear(double SourceDb, double MinGainDb, double StepDb)
{
    return [=](long v) { return std::min(0.0, SourceDb + MinGainDb + StepDb * v); };
}

void ExpectAtTheMark(const TOutcome& Outcome, const TMixer& Mixer, double SlackDb = 0.0)
{
    EXPECT_EQ(Outcome.State, TLevelSearchState::lsDone);
    EXPECT_LE(Outcome.MeasuredDb, NOAAMarkDb);
    EXPECT_GE(Outcome.MeasuredDb, NOAAMarkDb - ToleranceDb);
    EXPECT_LE(Mixer.LevelAt(Outcome.Volume), NOAAMarkDb + SlackDb);
    EXPECT_GE(Mixer.LevelAt(Outcome.Volume), NOAAMarkDb - ToleranceDb - SlackDb);
    EXPECT_LE(Outcome.Blocks, BlockLimit);
}

} // namespace

TEST(LevelSearch, ASoundServersCubicVolumeReachesTheMarkFromAnyStart)
{
    for (const long start : {ServerSteps, ServerSteps / 2, 0L, 60000L}) {
        SCOPED_TRACE(start);
        const TMixer mixer{0, ServerSteps, start, Cubic(-1.0)};
        ExpectAtTheMark(Search(mixer), mixer);
    }
}

TEST(LevelSearch, ACardsDecibelStepsReachTheMark)
{
    // 64 steps of 0.75 dB from -12 dB, like many cards' capture gain.
    const TMixer mixer{0, 63, 0, Linear(-19.8, -12.0, 0.75)};
    const TOutcome outcome = Search(mixer);
    ExpectAtTheMark(outcome, mixer);
    EXPECT_EQ(outcome.Volume, 38);
}

TEST(LevelSearch, ACoarseMixerEndsAtTheStepClosestBelowTheMark)
{
    // Four steps of 10 dB: -31, -21, -11, -1 dB.
    const TMixer mixer{0, 3, 3, Linear(-1.0, -30.0, 10.0)};
    const TOutcome outcome = Search(mixer);
    EXPECT_EQ(outcome.State, TLevelSearchState::lsDone);
    EXPECT_EQ(outcome.Volume, 2);
    EXPECT_NEAR(outcome.MeasuredDb, -11.0, 0.1);
    EXPECT_LE(outcome.Blocks, BlockLimit);
    // Two steps: one too loud, the other too quiet for the mark.
    const TMixer two{0, 1, 0, Linear(-1.0, -10.0, 10.0)};
    EXPECT_EQ(Search(two).Volume, 0);
}

TEST(LevelSearch, NoiseInTheMeasuredLevelStillEndsNearTheMark)
{
    for (const double noise : {0.3, 1.0}) {
        SCOPED_TRACE(noise);
        const TMixer mixer{0, ServerSteps, ServerSteps, Cubic(-1.0)};
        // The 2 s window's maximum sits above the mean by up to the noise.
        ExpectAtTheMark(Search(mixer, noise), mixer, noise);
    }
}

TEST(LevelSearch, SilenceAndAnInputTooLoudAtTheLowestStepEndQuickly)
{
    const TOutcome silent = Search({0, ServerSteps, ServerSteps / 2, [](long) { return SilenceDb; }});
    EXPECT_EQ(silent.State, TLevelSearchState::lsTooWeak);
    EXPECT_EQ(silent.Measurements, 2);
    EXPECT_EQ(silent.Volume, ServerSteps);

    const TOutcome loud = Search({0, 63, 40, Linear(0.0, 0.0, 0.5)});
    EXPECT_EQ(loud.State, TLevelSearchState::lsTooLoud);
    EXPECT_EQ(loud.Volume, 0);
    EXPECT_LE(loud.Measurements, 8); // log2(64) + 2
}

TEST(LevelSearch, AOneStepMixerIsMeasuredOnce)
{
    EXPECT_EQ(Search({5, 5, 5, [](long) { return -3.2; }}).State, TLevelSearchState::lsDone);
    EXPECT_EQ(Search({5, 5, 5, [](long) { return -10.0; }}).State, TLevelSearchState::lsTooWeak);
    EXPECT_EQ(Search({5, 5, 5, [](long) { return -1.0; }}).State, TLevelSearchState::lsTooLoud);
}
