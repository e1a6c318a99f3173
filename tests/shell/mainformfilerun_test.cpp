// The main window's file runs: progress, refused second runs, cancel,
// rejected files, the Peak check box mid-run and closing during a run.

#include "shell/mainformfixture.h"

namespace {

using namespace mainformtest;

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
