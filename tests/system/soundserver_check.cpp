// The real main window capturing from a real sound server: run by
// tests/system/pulseaudio-test.sh and tests/system/pipewire-test.sh once a
// private server is up whose default source carries a 441 Hz sine 1 dB below
// full scale and ALSA's "default" is the server's plugin. The checks also
// kill the server while the window captures, and start it again.

#include "analysis/audioanalyser.h"
#include "displays/levelmeter.h"
#include "platform/forms/application.h"
#include "platform/kernel/sysutils.h"
#include "platform/widgets/button.h"
#include "platform/widgets/checkbox.h"
#include "platform/widgets/userinput.h"
#include "soundserverwindow.h"
#include "support/eventloop.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

using eventloop::RunFor;
using eventloop::RunUntil;

namespace {

constexpr int WaitLimitMilliseconds = 10000; // longest wait for anything the server does
constexpr int LossLimitMilliseconds = 2000;  // from the kill to the window showing the loss
constexpr float LevelToleranceDb = 0.1f;
constexpr int SettleBlocks = 10;          // blocks for the smoothed level to settle
constexpr int SlowBlocks = 10;            // blocks whose handler takes longer than a block
constexpr uint32_t SlowHandlerMilliseconds = 250;
constexpr uint32_t BlockMilliseconds = 100; // 4410 frames at 44.1 kHz
constexpr int BlocksAfterTrouble = 20;    // blocks that must arrive after an overrun or a restart
constexpr int StoppedMilliseconds = 1000; // how long the window stays stopped
constexpr uint32_t MeasureMilliseconds = 10000; // memory and processor use, before and after a loss
constexpr long LossGrowthLimitKiB = 10 * 1024;
constexpr double LossProcessorLimitPercent = 5.0;

// The text of an error that ended capture, as the window shows it.
void ExpectReadingError(const std::string& Text)
{
    EXPECT_EQ(Text.rfind("Error ", 0), 0u) << Text;
    EXPECT_NE(Text.find(" reading wave input - "), std::string::npos) << Text;
    const std::string device = " (device default)";
    EXPECT_EQ(Text.size() > device.size() ? Text.substr(Text.size() - device.size()) : Text, device);
}

class SoundServer : public SoundServerWindow {
protected:
    void SetUp() override
    {
        SoundServerWindow::SetUp();
        Form = std::make_unique<TForm1>(nullptr);
        // Counts the blocks that reach the window, and slows some down on request.
        Form->AudioAnalyser->SetOnData([this](wavehdr_tag& Header) {
            Form->AudioAnalyserData(Header);
            ++Blocks;
            if (SlowLeft > 0) {
                --SlowLeft;
                Sleep(SlowHandlerMilliseconds);
            }
        });
    }

    // Waits for Count more blocks, then for both bars at the sine's level.
    void ExpectBlocksAtTheToneLevel(int Count)
    {
        const int target = Blocks + Count;
        ASSERT_TRUE(RunUntil([&] { return Blocks >= target; }, WaitLimitMilliseconds))
            << "blocks stopped arriving at " << Blocks;
        EXPECT_NEAR(Form->LevelMeter->LeftdB(), ToneLevelDb(), LevelToleranceDb);
        EXPECT_NEAR(Form->LevelMeter->RightdB(), ToneLevelDb(), LevelToleranceDb);
    }

    void ShowAndCapture()
    {
        Form->Show();
        ASSERT_TRUE(RunUntil([&] { return Running(); }, WaitLimitMilliseconds))
            << (Boxes.empty() ? "no message" : Boxes.front());
        ExpectBlocksAtTheToneLevel(SettleBlocks);
    }

    int Blocks = 0;   // blocks handed to the window
    int SlowLeft = 0; // blocks still to be handled slowly
};

} // namespace

TEST_F(SoundServer, StartsByItselfAndTheMeterReadsTheSine)
{
    ShowAndCapture();
    // RMS reads the same for a sine.
    Form->CheckBoxPeak->SetChecked(false);
    ExpectBlocksAtTheToneLevel(SettleBlocks);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SoundServer, StopAndStartWork)
{
    ShowAndCapture();
    ASSERT_TRUE(SimulateClick(*Form->ButtonRun));
    EXPECT_TRUE(Stopped());
    EXPECT_EQ(Form->LevelMeter->LeftdB(), static_cast<float>(Form->LevelMeter->MindB()));
    const int blocksWhenStopped = Blocks;
    RunFor(StoppedMilliseconds);
    EXPECT_EQ(Blocks, blocksWhenStopped) << "nothing arrives while stopped";
    ASSERT_TRUE(SimulateClick(*Form->ButtonRun));
    ASSERT_TRUE(RunUntil([&] { return Running(); }, WaitLimitMilliseconds));
    ExpectBlocksAtTheToneLevel(SettleBlocks);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SoundServer, AHandlerThatStallsLongerThanTheDeviceBufferDoesNotStopCapture)
{
    ShowAndCapture();
    // 2.5 s in the handler against 0.7 s of room in the device and the two buffers.
    SlowLeft = SlowBlocks;
    const uint32_t slowStart = GetTickCount();
    ASSERT_TRUE(RunUntil([&] { return SlowLeft == 0; }, WaitLimitMilliseconds));
    const int blocksAfterSlow = Blocks;
    ExpectBlocksAtTheToneLevel(BlocksAfterTrouble);
    // For the log only: what the server could not hold is lost, without a word to the plugin.
    const uint32_t elapsed = GetTickCount() - slowStart;
    const int handled = Blocks - blocksAfterSlow + SlowBlocks;
    std::printf("overrun: %d blocks handled in %u ms, about %d blocks of audio lost\n", handled, elapsed,
                static_cast<int>(elapsed / BlockMilliseconds) - handled);
    EXPECT_TRUE(Running());
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SoundServer, AServerKilledWhileCapturingStopsTheWindowOnceAndOnePressStartsItWhenItIsBack)
{
    ShowAndCapture();
    const TUsage capturing = Measure(MeasureMilliseconds);

    const uint32_t killing = GetTickCount();
    ASSERT_TRUE(KillServer());
    const uint32_t killed = GetTickCount();
    ASSERT_TRUE(RunUntil([&] { return Stopped() && !Boxes.empty(); }, LossLimitMilliseconds));
    const uint32_t shown = GetTickCount();
    EXPECT_FALSE(Form->AudioAnalyser->Enabled());
    EXPECT_EQ(Form->LevelMeter->LeftdB(), static_cast<float>(Form->LevelMeter->MindB()));
    EXPECT_EQ(Form->LevelMeter->RightdB(), static_cast<float>(Form->LevelMeter->MindB()));
    ASSERT_EQ(Boxes.size(), 1u);
    ExpectReadingError(Boxes[0]);

    // Whatever the plugin does with its server gone, the program stays still.
    const TUsage lost = Measure(MeasureMilliseconds);
    std::printf("capturing: resident %ld -> %ld KiB, processor %.2f %%\n", capturing.StartKiB, capturing.EndKiB,
                capturing.ProcessorPercent);
    std::printf("lost: shown %u ms after the kill began, %u ms after the server had gone (\"%s\"); "
                "resident %ld -> %ld KiB, processor %.2f %%\n",
                shown - killing, shown - killed, Boxes[0].c_str(), lost.StartKiB, lost.EndKiB, lost.ProcessorPercent);
    EXPECT_LT(lost.EndKiB - lost.StartKiB, LossGrowthLimitKiB);
    EXPECT_LT(lost.ProcessorPercent, LossProcessorLimitPercent);
    EXPECT_TRUE(Stopped());
    EXPECT_EQ(Boxes.size(), 1u);

    ASSERT_TRUE(StartServer());
    ASSERT_TRUE(SimulateClick(*Form->ButtonRun));
    ASSERT_TRUE(RunUntil([&] { return Running(); }, WaitLimitMilliseconds));
    ExpectBlocksAtTheToneLevel(BlocksAfterTrouble);
    EXPECT_EQ(Boxes.size(), 1u);
}

TEST_F(SoundServer, AnInputWhoseServerIsGoneBeforeStartEndsTheSameWayAndCannotReopen)
{
    TWaveIn waveIn(nullptr);
    int opens = 0, closes = 0, losses = 0;
    waveIn.SetOnOpen([&](TObject*) { ++opens; });
    waveIn.SetOnClose([&](TObject*) { ++closes; });
    waveIn.SetOnLost([&](TObject*) { ++losses; });
    waveIn.SetEnabled(true);
    ASSERT_TRUE(RunUntil([&] { return opens == 1; }, WaitLimitMilliseconds));
    ASSERT_TRUE(KillServer());

    // A plugin that knows its server is gone refuses to start; another starts
    // and loses the stream at its first read. The end is the same.
    std::vector<std::string> errors;
    try {
        waveIn.Start();
    } catch (const EWaveInError& e) {
        errors.push_back(e.Message());
    }
    const bool refused = !errors.empty();
    ASSERT_TRUE(RunUntil([&] { return !waveIn.Enabled(); }, LossLimitMilliseconds));
    RunFor(StoppedMilliseconds);
    errors.insert(errors.end(), Boxes.begin(), Boxes.end());
    ASSERT_EQ(errors.size(), 1u);
    std::printf("%s: \"%s\"\n", refused ? "start refused" : "lost after the start", errors[0].c_str());
    ExpectReadingError(errors[0]);
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(losses, 1);

    // Opening without a server fails as any open does, and leaves Enabled true.
    EXPECT_THROW(waveIn.SetEnabled(true), EWaveInError);
    EXPECT_TRUE(waveIn.Enabled());
    EXPECT_EQ(opens, 1);
}
