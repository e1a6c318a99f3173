// Faults in the live path without a sound server: a capture device that does
// not exist, one that refuses the format when it is configured, a sound server
// that is not there, and a data handler slower than a block. Each must end in
// the designed message or in capture going on, never in a crash or a hang.

#include "analysis/audioanalyser.h"
#include "audio/wavein.h"
#include "displays/led.h"
#include "platform/forms/application.h"
#include "platform/kernel/messages.h"
#include "platform/kernel/sysutils.h"
#include "platform/widgets/button.h"
#include "shell/mainform.h"
#include "support/alsaconfig.h"
#include "support/messagepump.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using messagepump::PumpFor;
using messagepump::PumpUntil;

namespace {

constexpr int32_t SmallBlock = 441;          // frames per block in these tests: 10 ms
constexpr int SourceBlocks = 200;            // blocks of distinct samples the file device holds
constexpr int SlowBlocks = 6;                // blocks whose handler takes longer than a block
constexpr uint32_t SlowHandlerMilliseconds = 30; // three block periods
constexpr int BlocksAfterSlowOnes = 10;      // blocks that must still arrive afterwards
constexpr int QuietRounds = 50;
constexpr int StartRounds = 2000;            // pump rounds (about 1 ms each) for the 200 ms start timer
constexpr uint32_t InvalidArgument = 22;     // EINVAL: the device cannot take the format
constexpr uint32_t NoSuchDevice = 2;         // ENOENT: no PCM of that name
constexpr uint32_t ConnectionRefused = 111;  // ECONNREFUSED: no sound server
const char* const InputVariable = "QUIMBREL_INPUT";
constexpr unsigned EnableMessage = 0x0400; // a private message number of the test's window

// A PCM that opens but has only one channel, so configuring stereo fails.
const char* const MonoOnlyPcm = "pcm.monoonly {\n"
                                "  type multi\n"
                                "  slaves.a { pcm { type null } channels 1 }\n"
                                "  bindings.0 { slave a channel 0 }\n"
                                "}\n";
// A PCM of the sound server's ALSA plugin.
const char* const ServerPcm = "pcm.server { type pulse }\n";

std::vector<int16_t> Ramp(size_t Frames)
{
    std::vector<int16_t> values(Frames * 2);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<int16_t>(i * 3 + 7);
    return values;
}

// The device named by QUIMBREL_INPUT for one test, and the message boxes shown.
class LiveFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application.SetMessageBoxHook([this](const std::string& Text, const std::string&, int) {
            Shown.push_back(Text);
            return IDOK;
        });
    }
    void TearDown() override
    {
        PumpFor(QuietRounds);
        unsetenv(InputVariable);
        unsetenv("PULSE_SERVER");
        Application.SetMessageBoxHook(nullptr);
    }

    // Enables WaveIn from a posted message's handler, as a button click or a
    // timer tick would: an error goes to the application's exception display.
    void EnableFromAHandler(TWaveIn& WaveIn)
    {
        HWND window = AllocateHWnd([&](TMessage&) { WaveIn.SetEnabled(true); });
        PostMessage(window, EnableMessage, 0, 0);
        PumpUntil([&] { return !Shown.empty(); }, QuietRounds);
        DeallocateHWnd(window);
    }

    std::vector<std::string> Shown;
};

} // namespace

TEST_F(LiveFaults, NoCaptureDeviceShowsTheOpenErrorAndNothingElseHappens)
{
    alsaconfig::UseText(MonoOnlyPcm);
    setenv(InputVariable, "nosuchcapturedevice", 1);
    TWaveIn waveIn(nullptr);
    int events = 0;
    waveIn.SetOnOpen([&](TObject*) { ++events; });
    waveIn.SetOnClose([&](TObject*) { ++events; });
    EnableFromAHandler(waveIn);
    EXPECT_EQ(Shown, std::vector<std::string>{
                         "Error 2 opening wave input - No such file or directory (device nosuchcapturedevice)"});
    EXPECT_EQ(waveIn.Status(), NoSuchDevice);
    PumpFor(QuietRounds);
    EXPECT_EQ(events, 0);
}

TEST_F(LiveFaults, TheMainWindowShowsTheOpenErrorOfAMissingDeviceOnceAndStaysStopped)
{
    alsaconfig::UseText(MonoOnlyPcm);
    setenv(InputVariable, "nosuchcapturedevice", 1);
    auto form = std::make_unique<TForm1>(nullptr);
    form->Show();
    // The start timer's click reaches the application's exception display.
    ASSERT_TRUE(PumpUntil([&] {
        Application.ProcessMessages();
        return !Shown.empty();
    }, StartRounds));
    PumpFor(QuietRounds);
    Application.ProcessMessages();
    EXPECT_EQ(Shown, std::vector<std::string>{
                         "Error 2 opening wave input - No such file or directory (device nosuchcapturedevice)"});
    EXPECT_EQ(form->ButtonRun->Caption(), "&Start");
    EXPECT_EQ(form->LED1->Colour(), clGreen);
    EXPECT_TRUE(form->AudioAnalyser->Enabled()) << "a failed open leaves Enabled true";
}

TEST_F(LiveFaults, ADeviceThatRefusesTheFormatFailsAtOpenWithItsReason)
{
    alsaconfig::UseText(MonoOnlyPcm);
    setenv(InputVariable, "monoonly", 1);
    TWaveIn waveIn(nullptr);
    EnableFromAHandler(waveIn);
    EXPECT_EQ(Shown, std::vector<std::string>{"Error 22 opening wave input - Invalid argument (device monoonly)"});
    EXPECT_EQ(waveIn.Status(), InvalidArgument);
    EXPECT_TRUE(waveIn.Enabled()) << "a failed open leaves Enabled true";
}

TEST_F(LiveFaults, AMissingSoundServerFailsAtOnceAndAWorkingDeviceOpensAfterwards)
{
    alsaconfig::UseText(ServerPcm);
    setenv(InputVariable, "server", 1);
    // No server listens here; the plugin must answer, not wait or start one.
    setenv("PULSE_SERVER", "unix:/nonexistent/quimbrel-test-no-server", 1);
    TWaveIn waveIn(nullptr);
    int opens = 0;
    waveIn.SetOnOpen([&](TObject*) { ++opens; });
    EnableFromAHandler(waveIn);
    ASSERT_EQ(Shown.size(), 1u);
    EXPECT_EQ(Shown[0], "Error 111 opening wave input - Connection refused (device server)");
    EXPECT_EQ(waveIn.Status(), ConnectionRefused);

    // The same component opens a working device after Enabled false, true.
    unsetenv(InputVariable);
    alsaconfig::UseCaptureSamples(Ramp(SmallBlock * 4));
    waveIn.SetEnabled(false);
    waveIn.SetEnabled(true);
    EXPECT_TRUE(PumpUntil([&] { return opens == 1; }));
    EXPECT_EQ(waveIn.Status(), 0u);
    waveIn.SetEnabled(false);
}

TEST_F(LiveFaults, AHandlerSlowerThanABlockDelaysCaptureButBlocksKeepArrivingInOrder)
{
    const std::vector<int16_t> source = Ramp(static_cast<size_t>(SmallBlock) * SourceBlocks);
    alsaconfig::UseCaptureSamples(source);
    TWaveIn waveIn(nullptr);
    waveIn.SetBufferSamples(SmallBlock);
    waveIn.SetAutoStart(true);
    std::vector<int32_t> numbers;
    std::vector<int16_t> captured;
    const int wanted = SlowBlocks + BlocksAfterSlowOnes;
    waveIn.SetOnData([&](wavehdr_tag& Header) {
        numbers.push_back(waveIn.BufferNumber());
        const auto* samples = reinterpret_cast<const int16_t*>(Header.lpData);
        captured.insert(captured.end(), samples, samples + Header.dwBytesRecorded / sizeof(int16_t));
        // Both buffers are out while the handler sleeps: the device waits for one.
        if (static_cast<int>(numbers.size()) <= SlowBlocks)
            Sleep(SlowHandlerMilliseconds);
        if (static_cast<int>(numbers.size()) == wanted)
            waveIn.SetEnabled(false);
    });
    waveIn.SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return !waveIn.Enabled(); }));
    std::vector<int32_t> expected(wanted);
    for (int i = 0; i < wanted; ++i)
        expected[i] = i;
    EXPECT_EQ(numbers, expected);
    // The file device loses nothing: every sample arrives once, in order.
    EXPECT_EQ(captured, std::vector<int16_t>(source.begin(), source.begin() + wanted * SmallBlock * 2));
}
