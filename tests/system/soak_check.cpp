// The soak: the real main window captures from the sound server for
// QUIMBREL_SOAK_SECONDS and prints its resident memory as it goes. Every
// StepSeconds it does one thing: File, Open with a file run and Start again;
// or, with QUIMBREL_SOAK_RESTARTS set, every other step kills the server,
// waits for the window to show the loss, starts the server and presses Start.
// Run by bench/soak.sh on the sanitizer build, which reports leaks at exit;
// the sound-server tests leave it out.

#include "analysis/audioanalyser.h"
#include "platform/dialogs/opendialog.h"
#include "platform/forms/application.h"
#include "platform/kernel/sysutils.h"
#include "platform/widgets/button.h"
#include "platform/widgets/menuitem.h"
#include "soundserverwindow.h"
#include "support/eventloop.h"
#include "support/scratchdir.h"
#include "support/wavwriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using eventloop::RunUntil;

namespace {

constexpr uint32_t StepSeconds = 30;           // live capture between two steps
constexpr uint32_t ReportSeconds = 60;         // between two memory reports
constexpr uint32_t SettleSeconds = 10;         // before the first memory figure
constexpr uint32_t MillisecondsPerSecond = 1000;
constexpr int WaitLimitMilliseconds = 10000;
constexpr size_t FileSeconds = 10;             // length of the WAV file that is run
constexpr size_t FramesPerSecond = 44100;
constexpr double FilePeriodFrames = 100.0;     // 441 Hz
constexpr double FileAmplitude = 8000.0;

std::vector<int16_t> FileSine()
{
    std::vector<int16_t> samples(FileSeconds * FramesPerSecond * 2);
    for (size_t i = 0; i < samples.size() / 2; ++i) {
        const auto value = static_cast<int16_t>(std::lround(FileAmplitude * std::sin(2 * M_PI * i / FilePeriodFrames)));
        samples[2 * i] = samples[2 * i + 1] = value;
    }
    return samples;
}

} // namespace

// The window, its file and the memory figures of one soak.
class Soak : public SoundServerWindow {
protected:
    void SetUp() override
    {
        SoundServerWindow::SetUp();
        WriteWavFile(Wav, FileSine());
        TOpenDialog::SetExecuteHook([this](const TOpenDialog&, std::string& FileName) {
            FileName = Wav;
            return true;
        });
    }

    void TearDown() override
    {
        SoundServerWindow::TearDown();
        TOpenDialog::SetExecuteHook(nullptr);
    }

    // Shows the window, waits for capture and lets it settle; the start figure.
    void StartCapture()
    {
        Form = std::make_unique<TForm1>(nullptr);
        Form->Show();
        ASSERT_TRUE(RunUntil([&] { return Running(); }, WaitLimitMilliseconds));
        RunUntil([] { return false; }, SettleSeconds * MillisecondsPerSecond);
        StartKiB = PeakKiB = ResidentKiB();
        std::printf("soak: resident at start %ld KiB\n", StartKiB);
    }

    // File, Open (which stops the input and runs the file), then Start again.
    void FileRun()
    {
        Form->FileOpen->Click();
        Form->ButtonRun->Click();
        ASSERT_TRUE(RunUntil([&] { return Running(); }, WaitLimitMilliseconds));
        ++FileRuns;
    }

    // The server dies under the window and comes back; one press starts again.
    void Restart()
    {
        const size_t boxes = Boxes.size();
        ASSERT_TRUE(KillServer());
        ASSERT_TRUE(RunUntil([&] { return Stopped() && Boxes.size() > boxes; }, WaitLimitMilliseconds));
        ASSERT_TRUE(StartServer());
        Form->ButtonRun->Click();
        ASSERT_TRUE(RunUntil([&] { return Running(); }, WaitLimitMilliseconds));
        ++Restarts;
    }

    void Report(uint32_t ElapsedMilliseconds)
    {
        std::printf("soak: %u s, resident %ld KiB, %d file runs, %d restarts\n",
                    ElapsedMilliseconds / MillisecondsPerSecond, ResidentKiB(), FileRuns, Restarts);
        std::fflush(stdout);
    }

    TScratchDir Scratch;
    const std::string Wav = Scratch.File("soak.wav");
    long StartKiB = 0; // resident memory once capture has settled
    long PeakKiB = 0;  // highest seen, looked at every second
    int FileRuns = 0;
    int Restarts = 0;
};

TEST_F(Soak, LiveCaptureWithFileRunsAndRestarts)
{
    const char* secondsText = std::getenv("QUIMBREL_SOAK_SECONDS");
    if (!secondsText)
        GTEST_SKIP() << "run by bench/soak.sh";
    const bool restarts = std::getenv("QUIMBREL_SOAK_RESTARTS") != nullptr;
    const uint32_t soakMilliseconds = static_cast<uint32_t>(std::atol(secondsText)) * MillisecondsPerSecond;
    StartCapture();
    const uint32_t start = GetTickCount();
    uint32_t nextStep = start + StepSeconds * MillisecondsPerSecond;
    uint32_t nextReport = start + ReportSeconds * MillisecondsPerSecond;
    int steps = 0;
    while (GetTickCount() - start < soakMilliseconds) {
        RunUntil([] { return false; }, MillisecondsPerSecond);
        if (static_cast<int32_t>(GetTickCount() - nextStep) >= 0) {
            if (restarts && ++steps % 2 == 0)
                Restart();
            else
                FileRun();
            if (HasFatalFailure())
                return;
            nextStep += StepSeconds * MillisecondsPerSecond;
        }
        PeakKiB = std::max(PeakKiB, ResidentKiB());
        if (static_cast<int32_t>(GetTickCount() - nextReport) >= 0) {
            Report(GetTickCount() - start);
            nextReport += ReportSeconds * MillisecondsPerSecond;
        }
    }
    std::printf("soak: resident at start %ld KiB, at end %ld KiB, highest %ld KiB; %d file runs, %d restarts, "
                "%d boxes\n",
                StartKiB, ResidentKiB(), PeakKiB, FileRuns, Restarts, static_cast<int>(Boxes.size()));
    EXPECT_TRUE(Running());
    // One message for every loss, and none besides.
    EXPECT_EQ(Boxes.size(), static_cast<size_t>(Restarts));
    for (const std::string& box : Boxes)
        EXPECT_NE(box.find(" reading wave input - "), std::string::npos) << box;
}
