// The setter over a simulated control of two channels: however it stops
// (Cancel, the dialog closed, a failure of the search, a refused write), each
// channel gets back exactly the volume it had; nothing is written when
// nothing moved; a restore that fails is told with the control's reason.

#include "levelcontrol/levelsetter.h"
#include "simulatedinput.h"

#include <gtest/gtest.h>

#include <string>

using namespace simulated;

namespace {

constexpr double NOAAMarkDb = -3.0;
constexpr double ToleranceDb = 0.5;
constexpr int LatencyBlocks = 2;
constexpr double NoiseDb = 0.3;
constexpr long HalfVolume = ServerSteps / 2;
constexpr long LoudVolume = ServerSteps * 4 / 5;
constexpr int RunBlocks = 70; // 7 s: the first reading is over, the first step made

struct TRun {
    TVolume Volume{0, ServerSteps, {HalfVolume, LoudVolume}, CubicGain, false};
    TMeter Meter;
    TLevelSetter Setter;
    uint32_t Now = 0;

    explicit TRun(double SourceDb)
        : Meter(Volume, [SourceDb](int, int) { return SourceDb; }, LatencyBlocks, NoiseDb),
          Setter(Volume, NOAAMarkDb, ToleranceDb, 0)
    {
    }
    void Blocks(int Count)
    {
        for (int i = 0; i < Count && Setter.Running(); ++i)
            Setter.BlockShown(Meter.Next(), Now += BlockMs);
    }
    bool Starting() const { return Volume.ChannelVolume(0) == HalfVolume && Volume.ChannelVolume(1) == LoudVolume; }
};

bool StartsWith(const std::string& Text, const std::string& Start)
{
    return Text.rfind(Start, 0) == 0;
}

} // namespace

TEST(LevelSetter, CancelCloseAndFailureRestoreEveryChannelExactly)
{
    struct TCase {
        const char* Why;      // passed to Stop; empty: the search ends by itself
        double SourceDb;      // the source at full volume
        const char* Message;  // how the message starts
    };
    const TCase cases[] = {
        {"Cancelled", -1.0, "Cancelled; the volume is back where it was."},
        {"The input stopped", -1.0, "The input stopped; the volume is back where it was."},
        {"", -20.0, "The signal is too weak"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Message);
        TRun run(c.SourceDb);
        run.Blocks(c.Why[0] ? RunBlocks : 1000);
        ASSERT_GT(run.Volume.Writes, 0);
        if (c.Why[0]) {
            ASSERT_TRUE(run.Setter.Running());
            ASSERT_FALSE(run.Starting());
            run.Setter.Stop(c.Why);
        }
        EXPECT_FALSE(run.Setter.Running());
        EXPECT_FALSE(run.Setter.Succeeded());
        EXPECT_TRUE(StartsWith(run.Setter.Message(), c.Message)) << run.Setter.Message();
        EXPECT_NE(run.Setter.Message().find("the volume is back where it was."), std::string::npos);
        EXPECT_TRUE(run.Starting());
    }
}

TEST(LevelSetter, NothingIsWrittenWhenNothingMoved)
{
    TRun run(-1.0);
    run.Blocks(1);
    run.Setter.Stop("Cancelled");
    EXPECT_EQ(run.Volume.Writes, 0);
    EXPECT_EQ(run.Setter.Message(), "Cancelled; the volume is back where it was.");

    // A restore writes only the channels that differ.
    TVolume volume{0, 100, {30, 70}, CubicGain, false};
    const TVolumeSnapshot saved = volume.Snapshot();
    volume.SetChannelVolume(1, 40);
    volume.Writes = 0;
    EXPECT_TRUE(volume.Restore(saved));
    EXPECT_EQ(volume.Writes, 1);
    EXPECT_EQ(volume.Snapshot(), saved);
}

TEST(LevelSetter, ARestoreOrAStepThatFailsIsTold)
{
    TRun cancelled(-1.0);
    cancelled.Blocks(RunBlocks);
    ASSERT_TRUE(cancelled.Setter.Running());
    cancelled.Volume.Failing = true; // the card unplugged
    cancelled.Setter.Stop("Cancelled");
    EXPECT_EQ(cancelled.Setter.Message(), "Cancelled; the volume could not be put back: No such device");

    // A step refused: the search stops; no channel moved, so none is written back.
    TRun refused(-1.0);
    refused.Volume.Failing = true;
    refused.Blocks(1000);
    EXPECT_FALSE(refused.Setter.Running());
    EXPECT_TRUE(StartsWith(refused.Setter.Message(), "The mixer refused the volume (No such device)"))
        << refused.Setter.Message();
    EXPECT_NE(refused.Setter.Message().find("; the volume is back where it was."), std::string::npos);
    EXPECT_TRUE(refused.Starting());
}
