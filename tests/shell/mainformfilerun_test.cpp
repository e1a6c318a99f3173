// The main window's file runs: progress, refused second runs, a cancelled
// dialog, rejected files, the Peak check box mid-run; a run ended by File,
// Cancel, Escape or closing the window; the files that are not measured and
// why; the file's levels against quimbrel-measure's report.

#include "shell/filelevelsform.h"
#include "shell/mainformfixture.h"
#include "platform/widgets/listview.h"
#include "support/measuretoolrun.h"
#include "support/riffbuilder.h"
#include "report/markadvice.h"

#include <fstream>
#include <regex>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace mainformtest;

// Bytes of private writable memory the process has mapped (VmData).
uint64_t DataBytesInUse()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmData:", 0) == 0)
            return std::stoull(line.substr(7)) * 1024; // given in kB
    return 0;
}

// The number the next file opened gets: the lowest one free.
uint64_t NextFileNumber()
{
    const int probe = dup(STDIN_FILENO);
    close(probe);
    return static_cast<uint64_t>(probe);
}

// What the process runs short of while a file is opened and read.
enum class TStarved { Nothing, Files, Memory };

// For one scope: no further file can be opened, or only a little more memory mapped.
class TStarvation {
public:
    explicit TStarvation(TStarved What)
    {
        constexpr uint64_t kMemoryHeadroom = 256u << 20; // bytes
        FResource = What == TStarved::Files ? RLIMIT_NOFILE : RLIMIT_DATA;
        getrlimit(FResource, &FSaved);
        if (What == TStarved::Nothing)
            return;
        rlimit tight = FSaved;
        tight.rlim_cur = What == TStarved::Files ? NextFileNumber() : DataBytesInUse() + kMemoryHeadroom;
        setrlimit(FResource, &tight);
    }
    ~TStarvation() { setrlimit(FResource, &FSaved); }
    TStarvation(const TStarvation&) = delete;
    TStarvation& operator=(const TStarvation&) = delete;

private:
    decltype(RLIMIT_DATA) FResource; // the limit that is lowered
    rlimit FSaved{};
};

// Stereo blocks whose level and offset change from block to block; the
// loudest clip.
std::vector<int16_t> ChangingSignal(int Blocks)
{
    std::vector<int16_t> samples = SineFrames(static_cast<size_t>(Blocks) * kFramesPerBlock);
    for (size_t i = 0; i < samples.size(); ++i) {
        const size_t block = i / (2 * kFramesPerBlock);
        const int value = samples[i] * static_cast<int>(block % 7 + 1) / 3 + (i % 2 ? 40 : -25);
        samples[i] = static_cast<int16_t>(std::clamp(value, -32768, 32767));
    }
    return samples;
}

std::string Squeezed(const std::string& Text)
{
    return std::regex_replace(std::regex_replace(Text, std::regex(" +"), " "), std::regex("^ | $"), "");
}

// The text report's figures, whitespace squeezed: its heading, then a line
// per figure (without the file name, column captions, the left - right line
// and the marks' caption).
std::vector<std::string> FigureLines(const std::string& Report)
{
    std::vector<std::string> lines;
    std::istringstream in(Report);
    std::string line;
    std::getline(in, line); // the file's name
    while (std::getline(in, line)) {
        const std::string squeezed = Squeezed(line);
        if (squeezed != "left right" && squeezed.rfind("left - right", 0) != 0 && squeezed.rfind("marks,", 0) != 0)
            lines.push_back(squeezed);
    }
    return lines;
}

// The window's rows as the text report writes them, whitespace squeezed;
// there the marks (the last rows) have their advice after "left" and "right".
std::vector<std::string> ShownFigureLines(const TFileLevelsForm& Levels)
{
    const std::vector<std::vector<std::string>> rows = Levels.ListLevels->ListPeer()->ShownRows();
    std::vector<std::string> lines;
    for (size_t i = 0; i < rows.size(); ++i) {
        const bool mark = i + std::size(measure::Marks) >= rows.size();
        const std::vector<std::string>& row = rows[i];
        lines.push_back(Squeezed(row[0] + (mark ? " left " : " ") + row[1] + (mark ? " right " : " ") + row[2]));
    }
    return lines;
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
    // "File levels" are those of the measure ticked at the end, for every block.
    const TToolRun tool = RunMeasureTool(std::string(QUIMBREL_BINARY_DIR) + MeasureToolInBuild, Scratch, {"--rms", path});
    ASSERT_EQ(tool.Status, 0) << tool.Err;
    const std::vector<std::string> report = FigureLines(tool.Out);
    ASSERT_NE(Form->FileLevels(), nullptr);
    ASSERT_GE(report.size(), 2u);
    EXPECT_EQ(Form->FileLevels()->LabelHeading->Caption(), report[0]);
    EXPECT_EQ(ShownFigureLines(*Form->FileLevels()), std::vector<std::string>(report.begin() + 1, report.end()));
}

TEST_F(MainFormTest, CancelEscapeAndClosingEndTheRunAfterTheBlockInHand)
{
    struct Ending {
        const char* Name;
        std::function<void(TForm1&)> End;
        bool Closes;
    };
    const Ending endings[] = {
        {"File, Cancel", [](TForm1& F) { EXPECT_TRUE(SimulateMenuClick(*F.FileCancel)); }, false},
        {"Escape", [](TForm1& F) { SimulateKey(F, VK_ESCAPE); }, false},
        {"closing the window", [](TForm1& F) { F.Close(); }, true},
    };
    alsaconfig::UseNoDefault();
    const std::string path = Scratch.File("long.wav");
    WriteWavFile(path, SineFrames(30 * kFramesPerBlock));
    for (const Ending& ending : endings) {
        SCOPED_TRACE(ending.Name);
        CreateForm();
        ShowForm();
        ASSERT_TRUE(RunUntil([&] { return !Boxes.empty(); })); // the failed start
        Boxes.clear();
        EXPECT_FALSE(Form->FileCancel->Enabled()) << "only during a run";
        int endedAt = -1;
        bool cancelEnabled = false;
        bool fedAfterTheEnd = false;
        RunFileWatching(path, [&] {
            if (!Form->FileRunning())
                return;
            fedAfterTheEnd |= endedAt >= 0 && Form->AudioAnalyser->BufferNumber() != endedAt;
            if (endedAt < 0 && Form->AudioAnalyser->BufferNumber() >= 3) {
                cancelEnabled = Form->FileCancel->Enabled();
                endedAt = Form->AudioAnalyser->BufferNumber();
                ending.End(*Form);
            }
        });
        ASSERT_GE(endedAt, 3);
        EXPECT_TRUE(cancelEnabled);
        EXPECT_FALSE(fedAfterTheEnd);
        EXPECT_EQ(Form->AudioAnalyser->BufferNumber(), endedAt) << "no block after the one in hand";
        EXPECT_EQ(Form->Visible(), !ending.Closes);
        EXPECT_FALSE(Form->FileRunning());
        EXPECT_FALSE(Form->ProgressBar->Visible());
        EXPECT_TRUE(Form->ButtonRun->Enabled());
        EXPECT_EQ(Form->ButtonRun->Caption(), "&Start");
        EXPECT_TRUE(Form->FileOpen->Enabled());
        EXPECT_FALSE(Form->FileCancel->Enabled());
        EXPECT_EQ(Form->FileLevels(), nullptr) << "no levels after a run that was ended";
        EXPECT_TRUE(Boxes.empty());
    }
}

TEST_F(MainFormTest, AFileThatIsNotMeasuredIsToldWithItsReason)
{
    using namespace riffbuilder;
    struct Refusal {
        const char* Name;
        std::string Bytes;
        const char* Message;
        TStarved Starved = TStarved::Nothing;
    };
    const std::string fmt = FmtChunk(1, 2, 44100, 16);
    const std::string someData = Chunk("data", std::string(4 * kFramesPerBlock, '\1'));
    constexpr uint32_t kGigabyte = 1u << 30;
    const std::string gigabyte = Riff("WAVE", fmt + ChunkDeclaring("data", kGigabyte, ""));
    const Refusal refusals[] = {
        {"no-handle.wav", Riff("WAVE", fmt + someData), "File cannot be opened for reading", TStarved::Files},
        {"empty.wav", "", "File is not a RIFF WAVE file"},
        {"notes.wav", "These are not sounds.\n", "File is not a RIFF WAVE file"},
        {"no-fmt.wav", Riff("WAVE", someData), "File has no \"fmt \" chunk, so its format is unknown"},
        {"fmt-cut.wav", Riff("WAVE", ChunkDeclaring("fmt ", 16, "12345678")), "File ends inside its \"fmt \" chunk"},
        {"no-data.wav", Riff("WAVE", fmt), "File has no \"data\" chunk after its \"fmt \" chunk"},
        {"cut.wav", Riff("WAVE", fmt + ChunkDeclaring("data", 5292000, std::string(100000, '\1'))),
         "File is cut short: it holds less sound data than its header declares"},
        {"huge.wav", gigabyte, "File is too large: its sound data cannot be held in memory", TStarved::Memory},
    };
    alsaconfig::UseNoDefault();
    CreateForm();
    ShowForm();
    ASSERT_TRUE(RunUntil([&] { return !Boxes.empty(); })); // the failed start
    const float meterBefore = Form->LevelMeter->LeftdB();
    for (const Refusal& refusal : refusals) {
        SCOPED_TRACE(refusal.Name);
        Boxes.clear();
        BoxCaptions.clear();
        const std::string path = Scratch.File(refusal.Name);
        WriteFile(path, refusal.Bytes);
        if (refusal.Starved == TStarved::Memory) { // the data is there, as a hole
            ASSERT_EQ(truncate(path.c_str(), static_cast<off_t>(refusal.Bytes.size() + kGigabyte)), 0);
        }
        ChosenFile = path;
        {
            const TStarvation starvation(refusal.Starved);
            Form->FileOpen->Click();
        }
        EXPECT_EQ(Boxes, std::vector<std::string>{refusal.Message});
        EXPECT_EQ(BoxCaptions, std::vector<std::string>{path});
        EXPECT_EQ(Form->LevelMeter->LeftdB(), meterBefore);
        EXPECT_EQ(Form->LeftOffsetEstimate(), 0);
        EXPECT_EQ(Form->FramesSeen(), 0);
        EXPECT_TRUE(Form->ButtonRun->Enabled());
        EXPECT_FALSE(Form->ProgressBar->Visible());
        EXPECT_FALSE(Form->FileRunning());
        EXPECT_EQ(Form->FileLevels(), nullptr);
    }
}

TEST_F(MainFormTest, FileLevelsAreWhatQuimbrelMeasureReportsForTheFile)
{
    alsaconfig::UseNoDefault();
    CreateForm();
    ShowForm();
    ASSERT_TRUE(RunUntil([&] { return !Boxes.empty(); }));
    Boxes.clear();
    const std::string path = Scratch.File("pass.wav");
    WriteWavFile(path, ChangingSignal(25));
    for (const bool peak : {true, false}) {
        SCOPED_TRACE(peak ? "peak" : "RMS");
        if (Form->CheckBoxPeak->Checked() != peak)
            SimulateClick(*Form->CheckBoxPeak);
        ChosenFile = path;
        Form->FileOpen->Click();
        ASSERT_NE(Form->FileLevels(), nullptr);
        TFileLevelsForm& levels = *Form->FileLevels();
        EXPECT_TRUE(levels.Visible());
        EXPECT_EQ(levels.Caption(), "File levels - pass.wav");
        const TToolRun tool = RunMeasureTool(std::string(QUIMBREL_BINARY_DIR) + MeasureToolInBuild, Scratch,
                                             peak ? std::vector<std::string>{path} : std::vector<std::string>{"--rms", path});
        ASSERT_EQ(tool.Status, 0) << tool.Err;
        const std::vector<std::string> report = FigureLines(tool.Out);
        ASSERT_GE(report.size(), 2u);
        EXPECT_EQ(levels.LabelHeading->Caption(), report[0]);
        EXPECT_EQ(ShownFigureLines(levels), std::vector<std::string>(report.begin() + 1, report.end()));

        // Closing it leaves the main window as it was.
        const int32_t offset = Form->LeftOffsetEstimate();
        levels.ButtonClose->Click();
        EXPECT_FALSE(levels.Visible());
        EXPECT_TRUE(Form->Visible());
        EXPECT_EQ(Form->LeftOffsetEstimate(), offset);
        EXPECT_TRUE(Form->ButtonRun->Enabled());
    }
    EXPECT_TRUE(Boxes.empty());
}

// The levels come from the run's own pass over the file, not from reading it
// again: a file that is gone by the run's end (moved away, a network drive
// gone) still has them. Here a mono file at 22,050 Hz, run twice, the second
// time with the offsets the first left behind, reads each time exactly as
// quimbrel-measure reports a copy of it.
TEST_F(MainFormTest, FileLevelsAreMeasuredInTheRunItself)
{
    alsaconfig::UseNoDefault();
    CreateForm();
    ShowForm();
    ASSERT_TRUE(RunUntil([&] { return !Boxes.empty(); }));
    Boxes.clear();
    const TWavFormat monoFormat{1, 1, 22050, 16};
    std::vector<int16_t> mono;
    const std::vector<int16_t> stereo = ChangingSignal(17);
    for (size_t i = 0; i < stereo.size(); i += 2)
        mono.push_back(stereo[i]);
    mono.resize(mono.size() - 1000); // a tail that is not measured
    const std::string copy = Scratch.File("copy.wav");
    WriteWavFile(copy, mono, monoFormat);
    const bool peak = Form->CheckBoxPeak->Checked();
    const TToolRun tool = RunMeasureTool(std::string(QUIMBREL_BINARY_DIR) + MeasureToolInBuild, Scratch,
                                         peak ? std::vector<std::string>{copy} : std::vector<std::string>{"--rms", copy});
    ASSERT_EQ(tool.Status, 0) << tool.Err;
    const std::vector<std::string> report = FigureLines(tool.Out);
    ASSERT_GE(report.size(), 2u);
    const std::string path = Scratch.File("moved.wav");
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run == 0 ? "first run" : "second run");
        if (run == 1) {
            ASSERT_NE(Form->LeftOffsetEstimate(), 0) << "the second run starts with offsets taken off";
        }
        WriteWavFile(path, mono, monoFormat);
        bool removed = false;
        RunFileWatching(path, [&] {
            if (Form->FileRunning() && !removed)
                removed = unlink(path.c_str()) == 0;
        });
        ASSERT_TRUE(removed);
        ASSERT_NE(Form->FileLevels(), nullptr);
        TFileLevelsForm& levels = *Form->FileLevels();
        EXPECT_TRUE(levels.Visible());
        EXPECT_EQ(levels.Caption(), "File levels - moved.wav");
        EXPECT_EQ(levels.LabelHeading->Caption(), report[0]);
        EXPECT_EQ(ShownFigureLines(levels), std::vector<std::string>(report.begin() + 1, report.end()));
    }
    EXPECT_TRUE(Boxes.empty());
}

} // namespace
