// The real main window on Qt's offscreen platform, with real ALSA capture
// from a file device and real WAV files.

#include "analysis/audioanalyser.h"
#include "audio/powertodb.h"
#include "displays/led.h"
#include "displays/levelmeter.h"
#include "platform/application.h"
#include "platform/button.h"
#include "platform/checkbox.h"
#include "platform/label.h"
#include "platform/menuitem.h"
#include "platform/opendialog.h"
#include "platform/progressbar.h"
#include "platform/shape.h"
#include "platform/sysutils.h"
#include "platform/timer.h"
#include "platform/userinput.h"
#include "shell/mainform.h"
#include "support/alsaconfig.h"
#include "support/scratchdir.h"
#include "support/wavwriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kFramesPerBlock = 4410;
constexpr TColor kLime = 0x00FF00;
constexpr int kWaitLimitMs = 5000;
constexpr int16_t kHalfScale = 16384; // a peak of -6.02 dBFS

// Handles events until Done() or the limit; returns Done().
bool RunUntil(const std::function<bool()>& Done, int LimitMs = kWaitLimitMs)
{
    const uint32_t start = GetTickCount();
    while (!Done()) {
        if (GetTickCount() - start > static_cast<uint32_t>(LimitMs))
            return false;
        Application.ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void RunFor(int Ms)
{
    RunUntil([] { return false; }, Ms);
}

// A sine of 90 samples a period (490 Hz): 49 whole periods a block, so every
// block's mean is zero, with a largest sample of exactly HalfScale.
std::vector<int16_t> SineFrames(size_t Frames)
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

// Frames of constant left and right values.
std::vector<int16_t> ConstantFrames(size_t Frames, int16_t Left, int16_t Right)
{
    std::vector<int16_t> samples(Frames * 2);
    for (size_t i = 0; i < Frames; ++i) {
        samples[2 * i] = Left;
        samples[2 * i + 1] = Right;
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

    void ShowForm()
    {
        Form->Show();
        ShownAt = GetTickCount();
    }

    // Runs a file with a timer that looks at the window after every block.
    void RunFileWatching(const std::string& Path, std::function<void()> Watch)
    {
        ChosenFile = Path;
        TTimer watcher(nullptr);
        watcher.SetInterval(1);
        watcher.SetOnTimer([&](TObject*) { Watch(); });
        Form->FileOpen->Click();
        watcher.SetEnabled(false);
    }

    TScratchDir Scratch;
    std::unique_ptr<TForm1> Form;
    std::vector<std::string> Boxes;
    std::vector<std::string> BoxCaptions;
    std::string ChosenFile;
    int DialogRuns = 0;
    uint32_t ShownAt = 0;
};

TEST_F(MainFormTest, StartsTheInputByItselfAndShowsTheSignalLevel)
{
    UseSineInput();
    CreateForm();
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Start");
    EXPECT_EQ(Form->LED1->Colour(), clGreen);
    ShowForm();
    ASSERT_TRUE(RunUntil([&] { return Form->ButtonRun->Caption() == "&Stop"; }));
    EXPECT_GE(GetTickCount() - ShownAt, 190u) << "the input starts 200 ms after the window is shown";
    EXPECT_TRUE(RunUntil([&] { return Form->LED1->Colour() == kLime; }));
    const float expected = PowerTodB(0.5f * std::pow(kHalfScale / 32767.0f, 2.0f));
    ASSERT_TRUE(RunUntil([&] { return std::fabs(Form->LevelMeter->LeftdB() - expected) < 0.01f; }));
    EXPECT_NEAR(Form->LevelMeter->RightdB(), -6.02f, 0.01f);
    Form->LevelMeter->Repaint();
    const int top = Form->LevelMeter->dBToY(Form->LevelMeter->LeftdB());
    const TColor bar = Form->LevelMeter->BarColour();
    EXPECT_EQ(Form->LevelMeter->SurfacePixel(10, top), bar);
    EXPECT_EQ(Form->LevelMeter->SurfacePixel(10, top + 20), bar);
    EXPECT_NE(Form->LevelMeter->SurfacePixel(10, top - 1), bar);
    EXPECT_EQ(Form->LevelMeter->SurfacePixel(30, top), bar) << "the right bar too";
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(MainFormTest, StopAndStartSwitchTheInputAndTheLed)
{
    UseSineInput();
    CreateForm();
    ShowForm();
    ASSERT_TRUE(RunUntil([&] { return Form->LED1->Colour() == kLime; }));
    Form->ButtonRun->Click();
    EXPECT_FALSE(Form->AudioAnalyser->Enabled());
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Start");
    EXPECT_EQ(Form->LED1->Colour(), clGreen) << "the close is handled before the setter returns";
    EXPECT_EQ(Form->LevelMeter->LeftdB(), static_cast<float>(Form->LevelMeter->MindB()));
    Form->ButtonRun->Click();
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Stop");
    EXPECT_TRUE(RunUntil([&] { return Form->LED1->Colour() == kLime; }));
    Form->Close();
    EXPECT_FALSE(Form->AudioAnalyser->Enabled()) << "closing the window closes the input";
    EXPECT_EQ(Form->LED1->Colour(), clGreen);
}

TEST_F(MainFormTest, FailingInputShowsOneMessageAndKeepsStart)
{
    alsaconfig::UseNoDefault();
    CreateForm();
    ShowForm();
    ASSERT_TRUE(RunUntil([&] { return !Boxes.empty(); }));
    RunFor(300);
    ASSERT_EQ(Boxes.size(), 1u) << "the timer does not retry";
    EXPECT_EQ(Boxes[0].rfind("Error ", 0), 0u);
    EXPECT_NE(Boxes[0].find(" opening wave input - "), std::string::npos);
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Start");
    EXPECT_EQ(Form->LED1->Colour(), clGreen);
    EXPECT_TRUE(Form->AudioAnalyser->Enabled()) << "a failed open leaves the input enabled";
    EXPECT_NE(Form->AudioAnalyser->Status(), 0u);

    Form->ButtonRun->Click(); // takes the first branch: disables, no message
    EXPECT_FALSE(Form->AudioAnalyser->Enabled());
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Start");
    EXPECT_EQ(Boxes.size(), 1u);

    // The next press tries again; its error reaches the exception display.
    try {
        Form->ButtonRun->Click();
        ADD_FAILURE() << "the open should have failed again";
    } catch (const Exception& e) {
        Application.HandleException(Form.get());
    }
    EXPECT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Start");
}

TEST_F(MainFormTest, MarksAndScaleLabelsSitBesideTheMeter)
{
    alsaconfig::UseNoDefault();
    CreateForm();
    ShowForm();
    EXPECT_EQ(Form->ShapeMeteor->Top(), 34);
    EXPECT_EQ(Form->ShapeNOAA->Top(), 38);
    EXPECT_EQ(Form->ShapeSICH->Top(), 103);
    EXPECT_EQ(Form->ShapeMeteor->Left(), 88);
    EXPECT_EQ(Form->ShapeMeteor->Width(), 17);

    const int textHeight = Form->Canvas().TextHeight("Cy");
    const int half = textHeight / 2;
    const int left = 48 - Form->Canvas().TextWidth("-00dB  ");
    std::vector<std::string> captions;
    for (int i = 0; i < Form->ComponentCount(); ++i) {
        auto* label = dynamic_cast<TLabel*>(Form->Components(i));
        if (!label || !label->Name().empty())
            continue;
        const int e = static_cast<int>(captions.size());
        captions.push_back(label->Caption());
        EXPECT_EQ(label->Top(), 289 * e * 10 / 40 + 16 - half);
        EXPECT_EQ(label->Left(), left);
        EXPECT_EQ(label->Parent(), Form.get());
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"0dB  ", "-10dB  ", "-20dB  ", "-30dB  ", "-40dB  "}));

    // The lines from the marks to their names.
    ASSERT_TRUE(RunUntil([&] { return !Form->Surface().Empty(); }));
    Form->Repaint();
    EXPECT_EQ(Form->SurfacePixel(105, 34), clBlack);
    EXPECT_EQ(Form->SurfacePixel(105, 38), clBlack);
    EXPECT_EQ(Form->SurfacePixel(105, 103), clBlack);
    EXPECT_EQ(Form->SurfacePixel(152, 16 + half), Form->Color()) << "a line's end pixel is not drawn";
    EXPECT_EQ(Form->SurfacePixel(100, 34), clBlack) << "the mark itself";
}

TEST_F(MainFormTest, FirstArgumentOnlyPrefillsTheOpenDialog)
{
    alsaconfig::UseNoDefault();
    char program[] = "quimbrel";
    char argument[] = "/tmp/pass.wav";
    char* argv[] = {program, argument, nullptr};
    Application.SetArgs(2, argv);
    CreateForm();
    EXPECT_EQ(Form->OpenDialog->FileName(), "/tmp/pass.wav");
    EXPECT_EQ(DialogRuns, 0);
    EXPECT_TRUE(Form->AudioAnalyser->IgnoreFileSampleRate());
    EXPECT_TRUE(Form->AudioAnalyser->PeakLevel());
    Application.SetArgs(0, nullptr);
    Form.reset();
    CreateForm();
    EXPECT_EQ(Form->OpenDialog->FileName(), "");
}

TEST_F(MainFormTest, OffsetLoopTakesTheWholeErrorThenAQuarterThenASixteenth)
{
    alsaconfig::UseNoDefault();
    CreateForm();
    auto feed = [&](int16_t Left) {
        std::vector<int16_t> block = ConstantFrames(kFramesPerBlock, Left, 0);
        wavehdr_tag header{};
        header.lpData = reinterpret_cast<char*>(block.data());
        header.dwBytesRecorded = kFramesPerBlock * 4;
        Form->AudioAnalyserData(header);
    };
    feed(37);
    EXPECT_EQ(Form->LeftOffsetEstimate(), 37);
    EXPECT_EQ(Form->AudioAnalyser->LeftOffset(), 37);
    for (int block = 2; block <= 9; ++block)
        feed(0);
    feed(-3); // block 10: the divisor is now 4, -3 div 4 is 0
    EXPECT_EQ(Form->LeftOffsetEstimate(), 37);
    feed(-4);
    EXPECT_EQ(Form->LeftOffsetEstimate(), 36);
    while (Form->FramesSeen() < 99 * kFramesPerBlock)
        feed(0);
    feed(-16); // block 100: a sixteenth
    EXPECT_EQ(Form->LeftOffsetEstimate(), 35);
    feed(-15);
    EXPECT_EQ(Form->LeftOffsetEstimate(), 35);
}

TEST_F(MainFormTest, NegativeMeanTruncatesTowardZero)
{
    alsaconfig::UseNoDefault();
    CreateForm();
    std::vector<int16_t> block = ConstantFrames(kFramesPerBlock, 0, 0);
    block[0] = -7; // a left sum of -7 over 4410 frames
    wavehdr_tag header{};
    header.lpData = reinterpret_cast<char*>(block.data());
    header.dwBytesRecorded = kFramesPerBlock * 4;
    Form->AudioAnalyserData(header);
    EXPECT_EQ(Form->LeftOffsetEstimate(), 0);
}

TEST_F(MainFormTest, FileRunStopsTheInputAndReportsProgress)
{
    UseSineInput();
    CreateForm();
    ShowForm();
    ASSERT_TRUE(RunUntil([&] { return Form->LED1->Colour() == kLime; }));
    constexpr int kBlocks = 12;
    const std::string path = Scratch.File("pass.wav");
    WriteWavFile(path, ConstantFrames(kBlocks * kFramesPerBlock + 100, 37, -5));
    std::vector<int> positions;
    int refusedRuns = 0;
    bool sawWrongState = false;
    RunFileWatching(path, [&] {
        if (!Form->FileRunning())
            return;
        sawWrongState |= !Form->ProgressBar->Visible() || Form->ButtonRun->Enabled() || Form->FileOpen->Enabled();
        const int expected = Form->AudioAnalyser->BufferNumber() * 100 / Form->AudioAnalyser->BufferCount();
        sawWrongState |= Form->ProgressBar->Position() != expected;
        if (positions.empty() || positions.back() != Form->ProgressBar->Position())
            positions.push_back(Form->ProgressBar->Position());
        const int before = DialogRuns;
        Form->FileOpenClick(Form->FileOpen); // a second run is refused
        refusedRuns += DialogRuns == before;
    });
    EXPECT_FALSE(sawWrongState);
    EXPECT_GT(refusedRuns, 0);
    EXPECT_EQ(DialogRuns, 1);
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.front(), 0);
    EXPECT_EQ(positions.back(), (kBlocks - 1) * 100 / kBlocks);
    EXPECT_EQ(Form->AudioAnalyser->BufferCount(), kBlocks);
    // Input stopped first, and still stopped afterwards.
    EXPECT_EQ(Form->LED1->Colour(), clGreen);
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Start");
    EXPECT_FALSE(Form->AudioAnalyser->Enabled());
    EXPECT_TRUE(Form->ButtonRun->Enabled());
    EXPECT_TRUE(Form->FileOpen->Enabled());
    EXPECT_FALSE(Form->ProgressBar->Visible());
    EXPECT_FALSE(Form->FileRunning());
    EXPECT_EQ(Form->LeftOffsetEstimate(), 37) << "block 1 takes the whole mean; later blocks are corrected";
    EXPECT_EQ(Form->RightOffsetEstimate(), -5);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(MainFormTest, CancelledDialogOnlyReenablesStart)
{
    UseSineInput();
    CreateForm();
    ShowForm();
    ASSERT_TRUE(RunUntil([&] { return Form->LED1->Colour() == kLime; }));
    ChosenFile.clear();
    Form->FileOpen->Click();
    EXPECT_EQ(DialogRuns, 1);
    EXPECT_TRUE(Form->ButtonRun->Enabled());
    EXPECT_FALSE(Form->AudioAnalyser->Enabled()) << "the input stays stopped";
    EXPECT_FALSE(Form->ProgressBar->Visible());
}

TEST_F(MainFormTest, RejectedFileIsReportedAndChangesNothing)
{
    alsaconfig::UseNoDefault();
    CreateForm();
    ShowForm();
    ASSERT_TRUE(RunUntil([&] { return !Boxes.empty(); })); // the failed start
    Boxes.clear();
    BoxCaptions.clear();
    const std::string path = Scratch.File("eight-bit.wav");
    TWavFormat format;
    format.BitsPerSample = 8;
    WriteWavFile(path, ConstantFrames(3 * kFramesPerBlock, 100, 100), format);
    ChosenFile = path;
    const float before = Form->LevelMeter->LeftdB();
    Form->FileOpen->Click();
    ASSERT_EQ(Boxes, std::vector<std::string>{"File is not a 16-bit, 44.1 KHz file"});
    EXPECT_EQ(BoxCaptions[0], path);
    EXPECT_EQ(Form->LevelMeter->LeftdB(), before);
    EXPECT_EQ(Form->LeftOffsetEstimate(), 0);
    EXPECT_TRUE(Form->ButtonRun->Enabled());
    EXPECT_FALSE(Form->ProgressBar->Visible());
    EXPECT_FALSE(Form->FileRunning());
}

TEST_F(MainFormTest, PeakCheckBoxSwitchesTheMeasureMidRun)
{
    alsaconfig::UseNoDefault();
    CreateForm();
    ShowForm();
    ASSERT_TRUE(RunUntil([&] { return !Boxes.empty(); }));
    // A half-scale square wave: -6.02 dB as peak, -3.01 dB as RMS.
    constexpr int kBlocks = 30;
    std::vector<int16_t> square(static_cast<size_t>(kBlocks) * kFramesPerBlock * 2);
    for (size_t i = 0; i < square.size(); ++i)
        square[i] = (i / 2) % 2 ? kHalfScale : static_cast<int16_t>(-kHalfScale);
    const std::string path = Scratch.File("square.wav");
    WriteWavFile(path, square);
    bool switched = false;
    float peakReading = 0;
    RunFileWatching(path, [&] {
        if (!switched && Form->FileRunning() && Form->AudioAnalyser->BufferNumber() >= 2) {
            peakReading = Form->LevelMeter->LeftdB();
            SimulateClick(*Form->CheckBoxPeak);
            switched = true;
        }
    });
    ASSERT_TRUE(switched);
    EXPECT_FALSE(Form->CheckBoxPeak->Checked());
    EXPECT_FALSE(Form->AudioAnalyser->PeakLevel());
    EXPECT_NEAR(peakReading, -6.02f, 0.01f);
    EXPECT_NEAR(Form->LevelMeter->LeftdB(), -3.01f, 0.05f) << "later blocks are measured as RMS";
}

TEST_F(MainFormTest, ClosingTheWindowDuringARunLetsTheRunFinish)
{
    alsaconfig::UseNoDefault();
    CreateForm();
    ShowForm();
    ASSERT_TRUE(RunUntil([&] { return !Boxes.empty(); }));
    constexpr int kBlocks = 6;
    const std::string path = Scratch.File("short.wav");
    WriteWavFile(path, ConstantFrames(kBlocks * kFramesPerBlock, 10, 10));
    bool closed = false;
    int lastBlock = -1;
    RunFileWatching(path, [&] {
        if (!Form->FileRunning())
            return;
        lastBlock = Form->AudioAnalyser->BufferNumber();
        if (!closed) {
            Form->Close();
            closed = true;
        }
    });
    EXPECT_TRUE(closed);
    EXPECT_FALSE(Form->Visible());
    EXPECT_EQ(lastBlock, kBlocks - 1) << "the run goes on to its end";
    EXPECT_FALSE(Form->FileRunning());
    EXPECT_FALSE(Form->AudioAnalyser->Enabled());
}

} // namespace

namespace {

TEST(MainFormCaptionTest, WithoutVersionInformationTheVersionIsEmpty)
{
    alsaconfig::UseNoDefault();
    TForm1 form(nullptr);
    EXPECT_EQ(form.Caption(), "Quimbrel - V - Tamsvik");
}

} // namespace
