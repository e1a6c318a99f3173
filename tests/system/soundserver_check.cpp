// The real main window capturing from a real sound server: run by
// tests/system/pulseaudio-test.sh once a private PulseAudio server is up with
// a 441 Hz sine of half full scale as its default source and ALSA's "default"
// is the server's plugin. The script passes the commands that kill and start
// the server in QUIMBREL_SERVER_KILL and QUIMBREL_SERVER_START.

#include "analysis/audioanalyser.h"
#include "audio/powertodb.h"
#include "displays/led.h"
#include "displays/levelmeter.h"
#include "platform/kernel/application.h"
#include "platform/kernel/sysutils.h"
#include "platform/widgets/button.h"
#include "platform/widgets/checkbox.h"
#include "platform/widgets/userinput.h"
#include "shell/mainform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t WaitLimitMilliseconds = 10000; // longest wait for anything the server does
constexpr uint32_t PumpPauseMilliseconds = 2;
constexpr float SineAmplitude = 16384.0f / 32767.0f; // the server's sine: half of full scale
constexpr float LevelToleranceDb = 0.1f;
constexpr int SettleBlocks = 10;          // blocks for the smoothed level to settle
constexpr int SlowBlocks = 10;            // blocks whose handler takes longer than a block
constexpr uint32_t SlowHandlerMilliseconds = 250;
constexpr uint32_t BlockMilliseconds = 100; // 4410 frames at 44.1 kHz
constexpr int BlocksAfterTrouble = 20;    // blocks that must arrive after an overrun or a restart
constexpr uint32_t DeadServerMilliseconds = 1000; // how long the window runs without its server

// Handles events until Done() or the limit; returns Done().
bool RunUntil(const std::function<bool()>& Done, uint32_t LimitMilliseconds = WaitLimitMilliseconds)
{
    const uint32_t start = GetTickCount();
    while (!Done()) {
        if (GetTickCount() - start > LimitMilliseconds)
            return false;
        Application.ProcessMessages();
        Sleep(PumpPauseMilliseconds);
    }
    return true;
}

void RunFor(uint32_t Milliseconds)
{
    RunUntil([] { return false; }, Milliseconds);
}

// The level of the server's sine, peak and RMS alike: 0 dB is a full-scale sine.
float SineLevelDb()
{
    return PowerTodB(0.5f * SineAmplitude * SineAmplitude);
}

bool RunServerCommand(const char* Variable)
{
    const char* command = std::getenv(Variable);
    return command && *command && std::system(command) == 0;
}

class SoundServer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::getenv("QUIMBREL_SERVER_KILL") && std::getenv("QUIMBREL_SERVER_START"))
            << "run by tests/system/pulseaudio-test.sh";
        Application.SetMessageBoxHook([this](const std::string& Text, const std::string&, int) {
            Boxes.push_back(Text);
            return IDOK;
        });
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

    void TearDown() override
    {
        Form.reset();
        Application.SetMessageBoxHook(nullptr);
    }

    bool Running() const { return Form->ButtonRun->Caption() == "&Stop" && Form->LED1->Colour() == clLime; }
    bool Stopped() const { return Form->ButtonRun->Caption() == "&Start" && Form->LED1->Colour() == clGreen; }

    // Waits for Count more blocks, then for both bars at the sine's level.
    void ExpectBlocksAtTheSineLevel(int Count)
    {
        const int target = Blocks + Count;
        ASSERT_TRUE(RunUntil([&] { return Blocks >= target; })) << "blocks stopped arriving at " << Blocks;
        EXPECT_NEAR(Form->LevelMeter->LeftdB(), SineLevelDb(), LevelToleranceDb);
        EXPECT_NEAR(Form->LevelMeter->RightdB(), SineLevelDb(), LevelToleranceDb);
    }

    std::unique_ptr<TForm1> Form;
    std::vector<std::string> Boxes;
    int Blocks = 0;   // blocks handed to the window
    int SlowLeft = 0; // blocks still to be handled slowly
};

} // namespace

TEST_F(SoundServer, StartsByItselfAndTheMeterReadsTheSine)
{
    Form->Show();
    ASSERT_TRUE(RunUntil([&] { return Running(); }));
    ExpectBlocksAtTheSineLevel(SettleBlocks);
    // RMS reads the same for a sine.
    Form->CheckBoxPeak->SetChecked(false);
    ExpectBlocksAtTheSineLevel(SettleBlocks);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SoundServer, StopAndStartWork)
{
    Form->Show();
    ASSERT_TRUE(RunUntil([&] { return Running(); }));
    ExpectBlocksAtTheSineLevel(SettleBlocks);
    ASSERT_TRUE(SimulateClick(*Form->ButtonRun));
    EXPECT_TRUE(Stopped());
    EXPECT_EQ(Form->LevelMeter->LeftdB(), static_cast<float>(Form->LevelMeter->MindB()));
    const int blocksWhenStopped = Blocks;
    RunFor(DeadServerMilliseconds);
    EXPECT_EQ(Blocks, blocksWhenStopped) << "nothing arrives while stopped";
    ASSERT_TRUE(SimulateClick(*Form->ButtonRun));
    ASSERT_TRUE(RunUntil([&] { return Running(); }));
    ExpectBlocksAtTheSineLevel(SettleBlocks);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SoundServer, AHandlerThatStallsLongerThanTheDeviceBufferDoesNotStopCapture)
{
    Form->Show();
    ASSERT_TRUE(RunUntil([&] { return Running(); }));
    ExpectBlocksAtTheSineLevel(SettleBlocks);
    // 2.5 s in the handler against 0.7 s of room in the device and the two buffers.
    SlowLeft = SlowBlocks;
    const uint32_t slowStart = GetTickCount();
    ASSERT_TRUE(RunUntil([&] { return SlowLeft == 0; }));
    const int blocksAfterSlow = Blocks;
    ExpectBlocksAtTheSineLevel(BlocksAfterTrouble);
    // For the log only: what the server could not hold is lost, without a word to the plugin.
    const uint32_t elapsed = GetTickCount() - slowStart;
    const int handled = Blocks - blocksAfterSlow + SlowBlocks;
    std::printf("overrun: %d blocks handled in %u ms, about %d blocks of audio lost\n", handled, elapsed,
                static_cast<int>(elapsed / BlockMilliseconds) - handled);
    EXPECT_TRUE(Running());
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(SoundServer, AServerKilledWhileCapturingThenBackAgain)
{
    Form->Show();
    ASSERT_TRUE(RunUntil([&] { return Running(); }));
    ExpectBlocksAtTheSineLevel(SettleBlocks);

    ASSERT_TRUE(RunServerCommand("QUIMBREL_SERVER_KILL"));
    RunFor(DeadServerMilliseconds); // no crash, no hang: the window goes on handling events
    ASSERT_TRUE(SimulateClick(*Form->ButtonRun)); // Stop returns with the input closed
    EXPECT_TRUE(Stopped());
    EXPECT_FALSE(Form->AudioAnalyser->Enabled());

    // Start without a server: the opening error, once; the caption stays.
    ASSERT_TRUE(SimulateClick(*Form->ButtonRun));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].rfind("Error ", 0), 0u) << Boxes[0];
    EXPECT_NE(Boxes[0].find(" opening wave input - "), std::string::npos) << Boxes[0];
    EXPECT_TRUE(Stopped());

    ASSERT_TRUE(RunServerCommand("QUIMBREL_SERVER_START"));
    // After the failed start Enabled is still true: one press turns it off, the next opens.
    ASSERT_TRUE(SimulateClick(*Form->ButtonRun));
    EXPECT_FALSE(Form->AudioAnalyser->Enabled());
    EXPECT_TRUE(Stopped());
    ASSERT_TRUE(SimulateClick(*Form->ButtonRun));
    ASSERT_TRUE(RunUntil([&] { return Running(); }));
    ExpectBlocksAtTheSineLevel(BlocksAfterTrouble);
    EXPECT_EQ(Boxes.size(), 1u);
}
