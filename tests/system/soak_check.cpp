// The soak: the real main window captures from the sound server for
// QUIMBREL_SOAK_SECONDS, stopping every FileRunSeconds for a file run and
// starting again, and prints its resident memory as it goes. Run by
// bench/soak.sh on the sanitizer build, which reports leaks at exit; the
// pulseaudio test leaves it out.

#include "analysis/audioanalyser.h"
#include "displays/led.h"
#include "platform/application.h"
#include "platform/button.h"
#include "platform/menuitem.h"
#include "platform/opendialog.h"
#include "platform/sysutils.h"
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

TEST(Soak, LiveCaptureWithFileRuns)
{
    const char* secondsText = std::getenv("QUIMBREL_SOAK_SECONDS");
    if (!secondsText)
        GTEST_SKIP() << "run by bench/soak.sh";
    const uint32_t soakMilliseconds = static_cast<uint32_t>(std::atol(secondsText)) * MillisecondsPerSecond;
    TScratchDir scratch;
    const std::string wav = scratch.File("soak.wav");
    WriteWavFile(wav, FileSine());
    std::vector<std::string> boxes;
    Application.SetMessageBoxHook([&](const std::string& Text, const std::string&, int) {
        boxes.push_back(Text);
        return IDOK;
    });
    TOpenDialog::SetExecuteHook([&](const TOpenDialog&, std::string& FileName) {
        FileName = wav;
        return true;
    });

    auto form = std::make_unique<TForm1>(nullptr);
    form->Show();
    const auto running = [&] { return form->ButtonRun->Caption() == "&Stop" && form->LED1->Colour() == clLime; };
    ASSERT_TRUE(RunUntil(running));
    RunUntil([] { return false; }, SettleSeconds * MillisecondsPerSecond);
    const long startKiB = ResidentKiB();
    long peakKiB = startKiB;
    std::printf("soak: resident at start %ld KiB\n", startKiB);

    int fileRuns = 0;
    const uint32_t start = GetTickCount();
    uint32_t nextFileRun = start + FileRunSeconds * MillisecondsPerSecond;
    uint32_t nextReport = start + ReportSeconds * MillisecondsPerSecond;
    while (GetTickCount() - start < soakMilliseconds) {
        RunUntil([] { return false; }, MillisecondsPerSecond);
        if (static_cast<int32_t>(GetTickCount() - nextFileRun) >= 0) {
            form->FileOpen->Click(); // stops the input, runs the file
            form->ButtonRun->Click();
            ASSERT_TRUE(RunUntil(running));
            ++fileRuns;
            nextFileRun += FileRunSeconds * MillisecondsPerSecond;
        }
        peakKiB = std::max(peakKiB, ResidentKiB());
        if (static_cast<int32_t>(GetTickCount() - nextReport) >= 0) {
            std::printf("soak: %u s, resident %ld KiB, %d file runs\n", (GetTickCount() - start) / MillisecondsPerSecond,
                        ResidentKiB(), fileRuns);
            std::fflush(stdout);
            nextReport += ReportSeconds * MillisecondsPerSecond;
        }
    }
    const long endKiB = ResidentKiB();
    std::printf("soak: resident at start %ld KiB, at end %ld KiB, highest %ld KiB; %d file runs, %d boxes\n", startKiB,
                endKiB, peakKiB, fileRuns, static_cast<int>(boxes.size()));
    EXPECT_TRUE(running());
    EXPECT_TRUE(boxes.empty());
    form.reset();
    TOpenDialog::SetExecuteHook(nullptr);
    Application.SetMessageBoxHook(nullptr);
}
