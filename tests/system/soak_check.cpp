// The soak: the real main window captures from the sound server for
// QUIMBREL_SOAK_SECONDS, stopping every FileRunSeconds for a file run and
// starting again, and prints its resident memory as it goes. Run by
// bench/soak.sh on the sanitizer build, which reports leaks at exit; the
// pulseaudio test leaves it out.

#include "analysis/audioanalyser.h"
#include "displays/led.h"
#include "platform/dialogs/opendialog.h"
#include "platform/kernel/application.h"
#include "platform/kernel/sysutils.h"
#include "platform/widgets/button.h"
#include "platform/widgets/menuitem.h"
#include "shell/mainform.h"
#include "support/scratchdir.h"
#include "support/wavwriter.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr uint32_t FileRunSeconds = 30;        // live capture between two file runs
constexpr uint32_t ReportSeconds = 60;         // between two memory reports
constexpr uint32_t SettleSeconds = 10;         // before the first memory figure
constexpr uint32_t MillisecondsPerSecond = 1000;
constexpr uint32_t WaitLimitMilliseconds = 10000;
constexpr uint32_t PumpPauseMilliseconds = 2;
constexpr size_t FileSeconds = 10;             // length of the WAV file that is run
constexpr size_t FramesPerSecond = 44100;
constexpr double FilePeriodFrames = 100.0;     // 441 Hz
constexpr double FileAmplitude = 8000.0;
constexpr long KibiByte = 1024;

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

// Resident memory of this process in KiB.
long ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / KibiByte);
}

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

// The window, its file, the boxes it shows and the memory figures of one soak.
class Soak : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteWavFile(Wav, FileSine());
        Application.SetMessageBoxHook([this](const std::string& Text, const std::string&, int) {
            Boxes.push_back(Text);
            return IDOK;
        });
        TOpenDialog::SetExecuteHook([this](const TOpenDialog&, std::string& FileName) {
            FileName = Wav;
            return true;
        });
    }

    void TearDown() override
    {
        Form.reset();
        TOpenDialog::SetExecuteHook(nullptr);
        Application.SetMessageBoxHook(nullptr);
    }

    bool Running() const { return Form->ButtonRun->Caption() == "&Stop" && Form->LED1->Colour() == clLime; }

    // Shows the window, waits for capture and lets it settle; the start figure.
    void StartCapture()
    {
        Form = std::make_unique<TForm1>(nullptr);
        Form->Show();
        ASSERT_TRUE(RunUntil([&] { return Running(); }));
        RunUntil([] { return false; }, SettleSeconds * MillisecondsPerSecond);
        StartKiB = PeakKiB = ResidentKiB();
        std::printf("soak: resident at start %ld KiB\n", StartKiB);
    }

    // File, Open (which stops the input and runs the file), then Start again.
    void FileRun()
    {
        Form->FileOpen->Click();
        Form->ButtonRun->Click();
        ASSERT_TRUE(RunUntil([&] { return Running(); }));
        ++FileRuns;
    }

    void Report(uint32_t ElapsedMilliseconds)
    {
        std::printf("soak: %u s, resident %ld KiB, %d file runs\n", ElapsedMilliseconds / MillisecondsPerSecond,
                    ResidentKiB(), FileRuns);
        std::fflush(stdout);
    }

    TScratchDir Scratch;
    const std::string Wav = Scratch.File("soak.wav");
    std::unique_ptr<TForm1> Form;
    std::vector<std::string> Boxes;
    long StartKiB = 0; // resident memory once capture has settled
    long PeakKiB = 0;  // highest seen, looked at every second
    int FileRuns = 0;
};

TEST_F(Soak, LiveCaptureWithFileRuns)
{
    const char* secondsText = std::getenv("QUIMBREL_SOAK_SECONDS");
    if (!secondsText)
        GTEST_SKIP() << "run by bench/soak.sh";
    const uint32_t soakMilliseconds = static_cast<uint32_t>(std::atol(secondsText)) * MillisecondsPerSecond;
    StartCapture();
    const uint32_t start = GetTickCount();
    uint32_t nextFileRun = start + FileRunSeconds * MillisecondsPerSecond;
    uint32_t nextReport = start + ReportSeconds * MillisecondsPerSecond;
    while (GetTickCount() - start < soakMilliseconds) {
        RunUntil([] { return false; }, MillisecondsPerSecond);
        if (static_cast<int32_t>(GetTickCount() - nextFileRun) >= 0) {
            FileRun();
            nextFileRun += FileRunSeconds * MillisecondsPerSecond;
        }
        PeakKiB = std::max(PeakKiB, ResidentKiB());
        if (static_cast<int32_t>(GetTickCount() - nextReport) >= 0) {
            Report(GetTickCount() - start);
            nextReport += ReportSeconds * MillisecondsPerSecond;
        }
    }
    std::printf("soak: resident at start %ld KiB, at end %ld KiB, highest %ld KiB; %d file runs, %d boxes\n", StartKiB,
                ResidentKiB(), PeakKiB, FileRuns, static_cast<int>(Boxes.size()));
    EXPECT_TRUE(Running());
    EXPECT_TRUE(Boxes.empty());
}
