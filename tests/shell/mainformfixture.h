#pragma once
// The real main window on Qt's offscreen platform, with real ALSA capture
// from a file device and real WAV files: what the main-window tests share.

#include "analysis/audioanalyser.h"
#include "audio/powertodb.h"
#include "displays/led.h"
#include "displays/levelmeter.h"
#include "platform/dialogs/opendialog.h"
#include "platform/forms/application.h"
#include "platform/kernel/sysutils.h"
#include "platform/kernel/timer.h"
#include "platform/widgets/button.h"
#include "platform/widgets/checkbox.h"
#include "platform/widgets/label.h"
#include "platform/widgets/menuitem.h"
#include "platform/widgets/progressbar.h"
#include "platform/widgets/shape.h"
#include "platform/widgets/userinput.h"
#include "shell/mainform.h"
#include "support/alsaconfig.h"
#include "support/eventloop.h"
#include "support/scratchdir.h"
#include "support/stereoframes.h"
#include "support/wavwriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace mainformtest {

constexpr int kFramesPerBlock = 4410;
constexpr TColor kLime = 0x00FF00;
constexpr int16_t kHalfScale = 16384; // a peak of -6.02 dBFS
constexpr uint32_t kWatchIntervalMs = 1;

using eventloop::RunFor;
using eventloop::RunUntil;

// A sine of 90 samples a period (490 Hz): 49 whole periods a block, so every
// block's mean is zero, with a largest sample of exactly HalfScale.
inline std::vector<int16_t> SineFrames(size_t Frames)
{
    constexpr double kPeriod = 90.0;
    const double amplitude = kHalfScale / std::sin(2 * M_PI * 22 / kPeriod);
    std::vector<int16_t> samples(Frames * 2);
    for (size_t i = 0; i < Frames; ++i) {
        const auto v = static_cast<int16_t>(std::lround(amplitude * std::sin(2 * M_PI * static_cast<double>(i) / kPeriod)));
        samples[2 * i] = v;
        samples[2 * i + 1] = v;
    }
    return samples;
}

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application.SetMessageBoxHook([this](const std::string& Text, const std::string& Caption, int) {
            Boxes.push_back(Text);
            BoxCaptions.push_back(Caption);
            return IDOK;
        });
        TOpenDialog::SetExecuteHook([this](const TOpenDialog&, std::string& FileName) {
            ++DialogRuns;
            if (ChosenFile.empty())
                return false;
            FileName = ChosenFile;
            ArmWatcher();
            return true;
        });
    }

    void TearDown() override
    {
        Form.reset();
        TOpenDialog::SetExecuteHook(nullptr);
        Application.SetMessageBoxHook(nullptr);
        Application.SetArgs(0, nullptr);
    }

    void UseSineInput()
    {
        // Far more sound than a test captures: the file device delivers as
        // fast as blocks are taken.
        constexpr size_t kSeconds = 120;
        alsaconfig::UseCaptureSamples(SineFrames(kSeconds * 44100));
    }

    void CreateForm() { Form = std::make_unique<TForm1>(nullptr); }

    void ShowForm() { Form->Show(); }

    // Runs a file with a timer that looks at the window after every block.
    // The timer starts as the file is chosen and is already due when the
    // first block lets events through, so no block goes unwatched.
    void RunFileWatching(const std::string& Path, std::function<void()> Watch)
    {
        ChosenFile = Path;
        TTimer watcher(nullptr);
        watcher.SetEnabled(false);
        watcher.SetInterval(kWatchIntervalMs);
        watcher.SetOnTimer([&](TObject*) { Watch(); });
        Watcher = &watcher;
        Form->FileOpen->Click();
        Watcher = nullptr;
    }

    void ArmWatcher()
    {
        if (!Watcher || Watcher->Enabled())
            return;
        Watcher->SetEnabled(true);
        Sleep(2 * kWatchIntervalMs);
    }

    TScratchDir Scratch;
    std::unique_ptr<TForm1> Form;
    std::vector<std::string> Boxes;
    std::vector<std::string> BoxCaptions;
    std::string ChosenFile;
    int DialogRuns = 0;
    TTimer* Watcher = nullptr; // RunFileWatching's timer while a run is watched
};

} // namespace mainformtest
