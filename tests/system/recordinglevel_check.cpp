// The Input menu and Recording level against a real sound server whose
// default source carries a sine 1 dB below full scale: Set level brings the
// meter to the NOAA mark through the server's source volume, stops with its
// message and the volume restored on silence, the slider follows the mixer
// both ways, and choosing another input (ALSA's "soft", a second source at
// half of full scale, where the script makes one) moves the meter to its level.

#include "analysis/audioanalyser.h"
#include "displays/levelmeter.h"
#include "platform/alsa/captureinput.h"
#include "platform/alsa/capturemixer.h"
#include "platform/forms/application.h"
#include "platform/kernel/sysutils.h"
#include "platform/widgets/button.h"
#include "platform/widgets/label.h"
#include "platform/widgets/menuitem.h"
#include "platform/widgets/trackbar.h"
#include "platform/widgets/userinput.h"
#include "shell/inputcommands.h"
#include "shell/recordinglevelform.h"
#include "soundserverwindow.h"
#include "support/eventloop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

using eventloop::RunFor;
using eventloop::RunUntil;

namespace {

constexpr int WaitLimitMilliseconds = 10000;
constexpr int SetLevelLimitMilliseconds = 35000; // the loop's own limit is 30 s
constexpr uint32_t SetLevelLongestMilliseconds = 30000;
constexpr int SettleMilliseconds = 500;          // for a volume set here to reach the server
constexpr int InterruptAfterMilliseconds = 1000; // Set level runs that long before it is stopped
constexpr int WatchMilliseconds = 4000;          // the dialog shows that long while its clients are counted
constexpr int ReadingBlocks = 20;                // the 2 s over which the meter's highest level counts
constexpr float SourceDb = -1.0f;                // the server's sine
constexpr float SoftInputDb = -6.02f;            // ALSA's "soft", where the script makes one
constexpr float LevelToleranceDb = 0.1f;
constexpr float SilenceDb = -60.0f;
constexpr const char* ServerVolumeCommand = "QUIMBREL_SOURCE_VOLUME";

// What a command of the test script prints.
std::string CommandOutput(const char* Variable)
{
    const char* command = std::getenv(Variable);
    FILE* pipe = command ? popen(command, "r") : nullptr;
    std::string output;
    char buffer[256];
    while (pipe && fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    if (pipe)
        pclose(pipe);
    return output;
}

bool RunScript(const char* Variable)
{
    const char* command = std::getenv(Variable);
    return command && std::system(command) == 0;
}

class RecordingLevel : public SoundServerWindow {
protected:
    void SetUp() override
    {
        SoundServerWindow::SetUp();
        OriginalVolume = TCaptureMixer("default").Volume();
        Form = std::make_unique<TForm1>(nullptr);
        Form->Show();
        ASSERT_TRUE(RunUntil([&] { return Running(); }, WaitLimitMilliseconds));
    }

    void TearDown() override
    {
        SoundServerWindow::TearDown();
        TCaptureMixer("default").SetVolume(OriginalVolume);
        ChooseCaptureInput("");
        if (ToneOff) {
            EXPECT_TRUE(RunScript("QUIMBREL_TONE_ON"));
        }
    }

    TRecordingLevelForm& ShowDialog()
    {
        EXPECT_TRUE(SimulateMenuClick(*Form->InputLevel));
        return *Form->Input().LevelForm();
    }

    // The meter's highest level over the next 2 s, as an operator reads it.
    float HighestLevel()
    {
        float highest = -200.0f;
        int blocks = 0;
        const int start = Form->AudioAnalyser->BufferNumber();
        RunUntil([&] {
            if (Form->AudioAnalyser->BufferNumber() != start + blocks) {
                blocks = Form->AudioAnalyser->BufferNumber() - start;
                highest = std::max({highest, Form->LevelMeter->LeftdB(), Form->LevelMeter->RightdB()});
            }
            return blocks >= ReadingBlocks;
        }, WaitLimitMilliseconds);
        return highest;
    }

    bool MeterReads(float Db)
    {
        return RunUntil([&] { return std::abs(Form->LevelMeter->LeftdB() - Db) < LevelToleranceDb; },
                        WaitLimitMilliseconds);
    }

    // Presses Set level and waits for its end; the time it took, in ms.
    uint32_t SetLevel(TRecordingLevelForm& Dialog)
    {
        const uint32_t start = GetTickCount();
        EXPECT_TRUE(SimulateClick(*Dialog.ButtonSetLevel));
        EXPECT_TRUE(Dialog.SettingLevel());
        EXPECT_EQ(Dialog.ButtonSetLevel->Caption(), "&Cancel");
        EXPECT_TRUE(RunUntil([&] { return !Dialog.SettingLevel(); }, SetLevelLimitMilliseconds));
        return GetTickCount() - start;
    }

    long OriginalVolume = 0;
    bool ToneOff = false;
};

} // namespace

TEST_F(RecordingLevel, SetLevelBringsTheMeterToTheNOAAMarkThroughTheSourceVolume)
{
    ASSERT_TRUE(MeterReads(SourceDb));
    const std::string before = CommandOutput(ServerVolumeCommand);
    TRecordingLevelForm& dialog = ShowDialog();
    ASSERT_TRUE(dialog.TrackBarVolume->Enabled()) << dialog.LabelStatus->Caption();
    EXPECT_DOUBLE_EQ(dialog.MarkDb(), -3.0);
    const uint32_t took = SetLevel(dialog);
    const std::string message = dialog.LabelStatus->Caption();
    EXPECT_EQ(message.rfind("Level set: ", 0), 0u) << message;
    const float level = HighestLevel();
    std::printf("Set level for NOAA: \"%s\" after %u ms; the meter's highest level over 2 s then %.2f dB; "
                "source volume %s -> %s",
                message.c_str(), took, level, before.c_str(), CommandOutput(ServerVolumeCommand).c_str());
    EXPECT_LE(took, SetLevelLongestMilliseconds);
    EXPECT_GE(level, -3.5f);
    EXPECT_LE(level, -3.0f);
    EXPECT_NE(CommandOutput(ServerVolumeCommand), before);
    EXPECT_EQ(dialog.TrackBarVolume->Position(), TCaptureMixer("default").Volume());
    EXPECT_EQ(dialog.ButtonSetLevel->Caption(), "&Set level");
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(RecordingLevel, SetLevelOnSilenceSaysThereIsNoSignalAndPutsTheVolumeBack)
{
    ASSERT_TRUE(RunScript("QUIMBREL_TONE_OFF"));
    ToneOff = true;
    ASSERT_TRUE(RunUntil([&] { return Form->LevelMeter->LeftdB() < SilenceDb; }, WaitLimitMilliseconds));
    TRecordingLevelForm& dialog = ShowDialog();
    TCaptureMixer mixer("default");
    mixer.SetVolume(mixer.Max() / 2);
    RunFor(SettleMilliseconds);
    const long before = TCaptureMixer("default").Volume();
    const uint32_t took = SetLevel(dialog);
    const std::string message = dialog.LabelStatus->Caption();
    std::printf("Set level on silence: \"%s\" after %u ms\n", message.c_str(), took);
    EXPECT_EQ(message.rfind("No signal at the input", 0), 0u) << message;
    EXPECT_NE(message.find("back where it was"), std::string::npos) << message;
    EXPECT_EQ(TCaptureMixer("default").Volume(), before);
}

TEST_F(RecordingLevel, StoppingTheInputOrCancelEndsSetLevelWithTheVolumeBack)
{
    TRecordingLevelForm& dialog = ShowDialog();
    const long before = TCaptureMixer("default").Volume();
    ASSERT_TRUE(SimulateClick(*dialog.ButtonSetLevel));
    RunFor(InterruptAfterMilliseconds);
    ASSERT_TRUE(dialog.SettingLevel());
    ASSERT_TRUE(SimulateClick(*Form->ButtonRun));
    EXPECT_FALSE(dialog.SettingLevel());
    EXPECT_EQ(dialog.LabelStatus->Caption().rfind("The input stopped; the volume is back", 0), 0u)
        << dialog.LabelStatus->Caption();
    EXPECT_EQ(TCaptureMixer("default").Volume(), before);

    ASSERT_TRUE(SimulateClick(*Form->ButtonRun));
    ASSERT_TRUE(RunUntil([&] { return Running(); }, WaitLimitMilliseconds));
    ASSERT_TRUE(SimulateClick(*dialog.ButtonSetLevel));
    RunFor(InterruptAfterMilliseconds);
    ASSERT_TRUE(dialog.SettingLevel()) << dialog.LabelStatus->Caption();
    ASSERT_TRUE(SimulateClick(*dialog.ButtonSetLevel)); // now Cancel
    EXPECT_FALSE(dialog.SettingLevel());
    EXPECT_EQ(dialog.LabelStatus->Caption().rfind("Cancelled; the volume is back", 0), 0u)
        << dialog.LabelStatus->Caption();
    EXPECT_EQ(TCaptureMixer("default").Volume(), before);
    EXPECT_TRUE(dialog.TrackBarVolume->Enabled());
}

TEST_F(RecordingLevel, SetLevelOnAStoppedInputStartsTheInputFirst)
{
    TRecordingLevelForm& dialog = ShowDialog();
    ASSERT_TRUE(SimulateClick(*Form->ButtonRun));
    ASSERT_TRUE(Stopped());
    ASSERT_TRUE(SimulateClick(*dialog.ButtonSetLevel));
    EXPECT_TRUE(RunUntil([&] { return Running(); }, WaitLimitMilliseconds));
    EXPECT_TRUE(dialog.SettingLevel()) << dialog.LabelStatus->Caption();
    // Blocks come: the search goes on, and shows what it does.
    RunFor(InterruptAfterMilliseconds);
    EXPECT_TRUE(MeterReads(SourceDb));
    EXPECT_TRUE(dialog.SettingLevel()) << dialog.LabelStatus->Caption();
    EXPECT_EQ(dialog.LabelStatus->Caption().rfind("Measuring peaks... ", 0), 0u) << dialog.LabelStatus->Caption();
    ASSERT_TRUE(SimulateClick(*dialog.ButtonSetLevel)); // Cancel
    EXPECT_FALSE(dialog.SettingLevel());
}

TEST_F(RecordingLevel, CancelPutsEachChannelBackAsAmixerReadsIt)
{
    ASSERT_EQ(std::system("amixer -q -D default sset Capture 50%,80%"), 0);
    RunFor(SettleMilliseconds);
    const std::string before = CommandOutput("QUIMBREL_AMIXER_CAPTURE");
    ASSERT_NE(before.find("[50%]"), std::string::npos) << before;
    ASSERT_NE(before.find("[80%]"), std::string::npos) << before;
    TRecordingLevelForm& dialog = ShowDialog();
    ASSERT_TRUE(SimulateClick(*dialog.ButtonSetLevel));
    ASSERT_TRUE(RunUntil([] { return CommandOutput("QUIMBREL_AMIXER_CAPTURE").find("[80%]") == std::string::npos; },
                         WaitLimitMilliseconds)) << "Set level did not move the volume";
    ASSERT_TRUE(dialog.SettingLevel()) << dialog.LabelStatus->Caption();
    ASSERT_TRUE(SimulateClick(*dialog.ButtonSetLevel)); // now Cancel
    EXPECT_EQ(dialog.LabelStatus->Caption(), "Cancelled; the volume is back where it was.");
    RunFor(SettleMilliseconds);
    const std::string after = CommandOutput("QUIMBREL_AMIXER_CAPTURE");
    std::printf("amixer before Set level:\n%safter Cancel:\n%s", before.c_str(), after.c_str());
    EXPECT_EQ(after, before);
}

TEST_F(RecordingLevel, TheOpenDialogKeepsItsMixerInsteadOfConnectingAgainAndAgain)
{
    // The server numbers its clients as they connect: a mixer opened anew is
    // a new client of a sound server's control plugin.
    if (!std::getenv("QUIMBREL_LAST_CLIENT"))
        GTEST_SKIP() << "the server's script tells no client numbers";
    ShowDialog();
    RunFor(SettleMilliseconds);
    const long before = std::atol(CommandOutput("QUIMBREL_LAST_CLIENT").c_str());
    RunFor(WatchMilliseconds);
    const long after = std::atol(CommandOutput("QUIMBREL_LAST_CLIENT").c_str());
    std::printf("Clients that connected while the dialog showed for %d ms: %ld\n", WatchMilliseconds, after - before);
    // The dialog's mixer is opened anew every 2 s (no more), and pactl itself is one.
    EXPECT_LE(after - before, WatchMilliseconds / 2000 + 1);
}

TEST_F(RecordingLevel, TheSliderSetsTheVolumeAndFollowsAChangeMadeElsewhere)
{
    TRecordingLevelForm& dialog = ShowDialog();
    TCaptureMixer mixer("default");
    dialog.TrackBarVolume->Moved(static_cast<int>(mixer.Max() / 4));
    EXPECT_TRUE(RunUntil([&] { mixer.Refresh(); return mixer.Volume() == mixer.Max() / 4; }, WaitLimitMilliseconds));
    EXPECT_EQ(dialog.LabelVolume->Caption(), "25 %");
    ASSERT_EQ(std::system("amixer -q -D default sset Capture 60%"), 0);
    EXPECT_TRUE(RunUntil([&] { return dialog.LabelVolume->Caption() == "60 %"; }, WaitLimitMilliseconds))
        << dialog.LabelVolume->Caption();
    mixer.Refresh();
    EXPECT_EQ(dialog.TrackBarVolume->Position(), mixer.Volume());
}

TEST_F(RecordingLevel, ChoosingAnotherInputMovesTheMeterToItsLevel)
{
    ASSERT_TRUE(MeterReads(SourceDb));
    const auto& items = Form->Input().DeviceItems();
    const auto soft = std::find_if(items.begin(), items.end(),
                                   [](TMenuItem* Item) { return Item->Caption().find("(soft)") != std::string::npos; });
    if (soft == items.end())
        GTEST_SKIP() << "the server's script names no second input \"soft\"";
    ASSERT_TRUE(SimulateMenuClick(**soft));
    EXPECT_TRUE(MeterReads(SoftInputDb)) << (Boxes.empty() ? "" : Boxes.front());
    EXPECT_TRUE(Running());
    ASSERT_TRUE(SimulateMenuClick(*items.front()));
    EXPECT_TRUE(MeterReads(SourceDb));
    EXPECT_TRUE(Boxes.empty());
}
