// The level search through the setter, against a simulated control and meter
// (simulatedinput.h): a table of signals (a steady tone, a weather
// satellite's modulated subcarrier, noise) x marks x starting volumes x
// controls (a sound server's cubic volume without decibels, a card's gain
// with its decibel scale). Each must end with its peaks verified within the
// tolerance below the mark, the peaks over the next 8 s not above the mark by
// more than the signal's own spread, within the 30 s that Set level may take.

#include "analysis/marks.h"
#include "levelcontrol/levelsetter.h"
#include "simulatedinput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

using namespace simulated;

namespace {

constexpr int LatencyBlocks = 2;
constexpr int CheckBlocks = 80;           // 8 s read after the end, as an operator would
constexpr double SpreadAllowanceDb = 0.4; // how far the later peaks may pass the mark
constexpr double Pi = 3.14159265358979;
constexpr long CardSteps = 63;            // a card's capture gain: 0.75 dB steps from -20 dB
constexpr double CardStepDb = 0.75;
constexpr double CardLowestDb = -20.0;

double CardGain(long Value) { return CardLowestDb + CardStepDb * Value; }

struct TSignal {
    const char* Name;
    double FullDb;  // the peaks at full gain
    TSource Source;
    double NoiseDb;
};

// A steady tone at FullDb.
TSignal Tone(double FullDb) { return {"tone", FullDb, [FullDb](int, int) { return FullDb; }, 0.0}; }

// A weather satellite's subcarrier as the meter sees it: block levels spread
// over SpreadDb by the picture lines, peaks steady over a few seconds, a
// scene that passes slowly, a little noise.
TSignal Satellite(double FullDb, double SpreadDb)
{
    return {"satellite", FullDb,
            [=](int Block, int Channel) {
                const double lines = 0.5 + 0.5 * std::sin(2 * Pi * Block / 13.7 + Channel);
                const double scene = 0.5 + 0.5 * std::sin(2 * Pi * Block / 230.0);
                return FullDb - SpreadDb * lines - 0.4 * scene;
            },
            0.3};
}

struct TControl {
    const char* Name;
    long Max;
    double (*Gain)(long);
    bool Decibels;
    double SourceDb; // moves the signal so that the control's range covers the marks
};

const TControl Server{"server", ServerSteps, CubicGain, false, 0.0};
const TControl Card{"card", CardSteps, CardGain, true, -25.0};

struct TResult {
    bool Succeeded;
    std::string Message;
    double AfterDb; // the highest level over the 8 s after the end
    uint32_t Elapsed;
};

TResult SetLevel(const TControl& Control, const TSignal& Signal, const TMark& Mark, int StartPercent,
                 int Latency = LatencyBlocks)
{
    const long start = Control.Max * StartPercent / 100;
    TVolume volume(0, Control.Max, {start, start}, Control.Gain, Control.Decibels);
    const double shift = Control.SourceDb;
    TMeter meter(volume, [&](int Block, int Channel) { return Signal.Source(Block, Channel) + shift; }, Latency,
                 Signal.NoiseDb);
    TLevelSetter setter(volume, Mark.LeveldB(), Mark.TolerancedB, 0);
    uint32_t now = 0;
    while (setter.Running())
        setter.BlockShown(meter.Next(), now += BlockMs);
    double after = FloorDb;
    for (int i = 0; i < CheckBlocks; ++i)
        after = std::max(after, meter.Next());
    return {setter.Succeeded(), setter.Message(), after, setter.Elapsed()};
}

} // namespace

TEST(LevelSearch, EverySignalMarkStartAndControlEndsAtTheMarkWithin30s)
{
    const TSignal signals[] = {Tone(-1.0), Satellite(-1.0, 4.0), Satellite(-1.0, 2.5)};
    uint32_t longest = 0, total = 0;
    int cases = 0;
    for (const TControl& control : {Server, Card})
        for (const TSignal& signal : signals)
            for (const TMark& mark : Marks)
                for (const int startPercent : {30, 100, 60}) {
                    const TResult r = SetLevel(control, signal, mark, startPercent);
                    SCOPED_TRACE(std::string(control.Name) + " " + signal.Name + " " + mark.Name + " from " +
                                 std::to_string(startPercent) + " %: " + r.Message);
                    EXPECT_TRUE(r.Succeeded);
                    EXPECT_LE(r.Elapsed, TLevelSetter::TimeLimitMs);
                    longest = std::max(longest, r.Elapsed);
                    total += r.Elapsed;
                    ++cases;
                    EXPECT_LE(r.AfterDb, mark.LeveldB() + SpreadAllowanceDb);
                    EXPECT_GE(r.AfterDb, mark.LeveldB() - mark.TolerancedB - SpreadAllowanceDb);
                }
    std::printf("%d cases: %.1f s on average, %.1f s at most\n", cases, total / 1000.0 / cases, longest / 1000.0);
}

TEST(LevelSearch, SilenceAWeakAndALoudSignalAreToldHonestly)
{
    const TSignal silence{"silence", FloorDb, [](int, int) { return FloorDb; }, 0.0};
    const TResult silent = SetLevel(Server, silence, Marks[NOAAMark], 50);
    EXPECT_EQ(silent.Message, "No signal at the input; the volume is back where it was.");

    // Peaks of -5 dB at full volume: too weak for NOAA, but not for Okean/SICH.
    const TResult weak = SetLevel(Server, Satellite(-5.0, 4.0), Marks[NOAAMark], 30);
    EXPECT_EQ(weak.Message.rfind("The signal is too weak: even at full volume its peaks stay at -5.", 0), 0u)
        << weak.Message;
    EXPECT_TRUE(SetLevel(Server, Satellite(-5.0, 4.0), Marks[SICHMark], 30).Succeeded);

    // A card whose lowest gain already passes the mark.
    const TControl hot{"hot card", CardSteps, CardGain, true, 25.0};
    const TResult loud = SetLevel(hot, Tone(-1.0), Marks[NOAAMark], 60);
    EXPECT_EQ(loud.Message.rfind("The input is too loud: even at the lowest volume", 0), 0u) << loud.Message;
}

TEST(LevelSearch, AReadingAboveTheMarkNeverSendsTheSearchBelowItsGoodLowerStep)
{
    // A noisy signal near the mark: each reading alternately below the
    // tolerance and just above the mark. Every step stays above the highest
    // step read below, and below the lowest read above.
    TLevelSearch search(0, ServerSteps, 40000, -3.0, 0.5);
    long low = 40000, high = ServerSteps + 1;
    for (int i = 0; i < 6 && search.State() == TLevelSearchState::lsMeasuring; ++i) {
        const long volume = search.Volume();
        ASSERT_GT(volume, i == 0 ? low - 1 : low);
        ASSERT_LT(volume, high);
        const bool above = i % 2 == 1;
        search.Measured(above ? -2.8 : -3.7);
        (above ? high : low) = volume;
    }
    EXPECT_EQ(search.State(), TLevelSearchState::lsMeasuring);
    EXPECT_GT(search.Volume(), low);
    EXPECT_LT(search.Volume(), high);
}

TEST(LevelSearch, ACoarseOrAOneStepControlEndsAtItsClosestStepBelowTheMark)
{
    // Four steps of 10 dB: -31, -21, -11, -1 dB for NOAA: -11 dB is the closest below.
    const TControl coarse{"coarse", 3, [](long Value) { return -30.0 + 10.0 * Value; }, true, 0.0};
    const TResult four = SetLevel(coarse, Tone(-1.0), Marks[NOAAMark], 100);
    EXPECT_EQ(four.Message, "Level set: peaks at -11.0 dB over 8 s, volume 67 % (the mixer has no step closer to the mark)");

    // From the bottom with a long latency: the verified -11 dB step must
    // stay verified while the step above it is read.
    const TResult rising = SetLevel(coarse, Tone(-1.0), Marks[NOAAMark], 0, 4);
    EXPECT_TRUE(rising.Succeeded) << rising.Message;
    EXPECT_LE(rising.Elapsed, TLevelSetter::TimeLimitMs);

    // One step only: it is the result, too weak or too loud.
    const auto once = [](double SourceDb) {
        TVolume volume(5, 5, {5, 5}, [](long) { return 0.0; }, false);
        TMeter meter(volume, [SourceDb](int, int) { return SourceDb; }, LatencyBlocks, 0.0);
        TLevelSetter setter(volume, Marks[NOAAMark].LeveldB(), Marks[NOAAMark].TolerancedB, 0);
        uint32_t now = 0;
        while (setter.Running())
            setter.BlockShown(meter.Next(), now += BlockMs);
        EXPECT_EQ(volume.Writes, 0);
        return setter.Message();
    };
    EXPECT_EQ(once(-3.2).rfind("Level set: peaks at -3.2 dB", 0), 0u) << once(-3.2);
    EXPECT_EQ(once(-10.0).rfind("The signal is too weak", 0), 0u) << once(-10.0);
    EXPECT_EQ(once(-1.0).rfind("The input is too loud", 0), 0u) << once(-1.0);
}
