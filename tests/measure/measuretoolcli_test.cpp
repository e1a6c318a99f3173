// quimbrel-measure as a command: refused files, usage, version, JSON that
// parses, the progress bar, and the block rows as a CSV file by themselves.

#include "platform/verres/winver.h"

#include "report/vectorpath.h"
#include "support/measuretoolrun.h"
#include "support/scratchdir.h"
#include "support/soxstats.h"
#include "support/wavwriter.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

namespace {

constexpr size_t BlockFrames = 4410;

TToolRun RunTool(const TScratchDir& Dir, const std::vector<std::string>& Args)
{
    return RunMeasureTool(std::string(QUIMBREL_BINARY_DIR) + MeasureToolInBuild, Dir, Args);
}

const std::string Tool = std::string(QUIMBREL_BINARY_DIR) + MeasureToolInBuild;

// Blocks of stereo noise, louder from block to block.
std::vector<int16_t> Noise(size_t Blocks)
{
    std::mt19937 random(5);
    std::vector<int16_t> samples(Blocks * BlockFrames * 2);
    for (size_t i = 0; i < samples.size(); ++i) {
        const auto amplitude = static_cast<int32_t>(100 + 2000 * (i / (BlockFrames * 2)));
        samples[i] = static_cast<int16_t>(static_cast<int32_t>(random() % static_cast<uint32_t>(2 * amplitude)) - amplitude);
    }
    return samples;
}

} // namespace

TEST(MeasureTool, RefusedFilesAreNamedAndTheOthersMeasured)
{
    const TScratchDir dir;
    const std::string good = dir.File("good.wav");
    WriteWavFile(good, std::vector<int16_t>(BlockFrames * 2 * 3, 1000));
    const std::string eightBit = dir.File("eight.wav");
    WriteFileBytes(eightBit, WaveFile({RiffChunk("fmt ", WavFormatRecord({1, 2, 44100, 8})),
                                       RiffChunk("data", std::vector<uint8_t>(100, 128))}));
    const std::string text = dir.File("notes.txt");
    WriteFileBytes(text, {'h', 'i'});
    const std::string absent = dir.File("absent.wav");

    const TToolRun run = RunTool(dir, {eightBit, good, absent, text});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "quimbrel-measure: " + eightBit + ": 8-bit PCM: only 16-bit PCM is measured\n" +
                           "quimbrel-measure: " + absent + ": no such file\n" + "quimbrel-measure: " + text +
                           ": not a WAV file (no RIFF chunk of form \"WAVE\")\n");
    EXPECT_NE(run.Out.find(good + "\n  duration 0.30 s"), std::string::npos) << run.Out;

    const TToolRun json = RunTool(dir, {"--json", eightBit, good});
    EXPECT_EQ(json.Status, 1);
    const std::string out = dir.File("out.txt");
    EXPECT_EQ(JsonQuery(out, "d['files'][0]['error']"), "8-bit PCM: only 16-bit PCM is measured");
    EXPECT_EQ(JsonQuery(out, "d['files'][1]['blocks']"), "3");
}

TEST(MeasureTool, Usage)
{
    const TScratchDir dir;
    const TToolRun none = RunTool(dir, {});
    EXPECT_EQ(none.Status, 2);
    EXPECT_EQ(none.Err, "quimbrel-measure: no file given\nusage: quimbrel-measure [--rms] [--json] [--blocks] [--help] "
                        "[--version] FILE...\n       quimbrel-measure --live [--input NAME] [--seconds N] [--rms] "
                        "[--json]\n");
    const TToolRun unknown = RunTool(dir, {"--loud", "x.wav"});
    EXPECT_EQ(unknown.Status, 2);
    EXPECT_EQ(unknown.Err.rfind("quimbrel-measure: unknown option --loud\nusage: ", 0), 0u) << unknown.Err;
    EXPECT_TRUE(unknown.Out.empty());

    const TToolRun help = RunTool(dir, {"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Out.rfind("usage: quimbrel-measure", 0), 0u);
    EXPECT_NE(help.Out.find("--rms"), std::string::npos);

    const TToolRun version = RunTool(dir, {"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_TRUE(std::regex_match(version.Out, std::regex(R"(quimbrel-measure [0-9]+(\.[0-9]+){1,3}\nvector path: [a-z0-9]+\n)"))) << version.Out;
}

TEST(MeasureTool, VersionComesFromItsVersionResource)
{
    uint32_t handle = 0;
    const uint32_t size = GetFileVersionInfoSize(Tool, &handle);
    ASSERT_GT(size, 0u);
    std::vector<uint32_t> block(size / 4 + 1);
    ASSERT_TRUE(GetFileVersionInfo(Tool, handle, size, block.data()));
    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValue(block.data(), "\\StringFileInfo\\080904E4\\FileVersion", &value, &length));
    const TScratchDir dir;
    // Then the vector path, which this test's process chooses as the tool does.
    EXPECT_EQ(RunTool(dir, {"--version"}).Out, "quimbrel-measure " + std::string(static_cast<const char*>(value)) +
                                                   "\nvector path: " + measure::VectorPathName(measure::ActiveVectorPath()) + "\n");
}

TEST(MeasureTool, JsonParsesWithBlocksAndMarks)
{
    const TScratchDir dir;
    const std::string a = dir.File("a \"quoted\" name.wav");
    const std::string b = dir.File("b.wav");
    WriteWavFile(a, Noise(12));
    WriteWavFile(b, std::vector<int16_t>(100, 0)); // shorter than a block
    const TToolRun run = RunTool(dir, {"--json", "--blocks", "--rms", a, b});
    // b yields no block: it is named as not measured, and the status says so.
    ASSERT_EQ(run.Status, 1) << run.Err;
    EXPECT_EQ(run.Err, "quimbrel-measure: " + b + ": shorter than one 100 ms block (4410 frames): 50 frames\n");
    const std::string json = dir.File("out.txt");
    EXPECT_EQ(JsonQuery(json, "d['measure']"), "rms");
    EXPECT_EQ(JsonQuery(json, "d['files'][0]['file']"), a);
    EXPECT_EQ(JsonQuery(json, "len(d['files'][0]['block_levels'])"), "12");
    EXPECT_EQ(JsonQuery(json, "d['files'][0]['block_levels'][3]['time_s']"), "0.3");
    EXPECT_EQ(JsonQuery(json, "[m['name'] for m in d['files'][0]['marks']]"), "['Resurs/Meteor', 'NOAA', 'Okean/SICH']");
    EXPECT_EQ(JsonQuery(json, "d['files'][0]['marks'][2]['level_db']"), "-12.0");
    EXPECT_EQ(JsonQuery(json, "sorted(d['files'][0]['marks'][0]['left'])"), "['advice', 'by_db', 'text']");
    EXPECT_EQ(JsonQuery(json, "d['files'][1]['error']"), "shorter than one 100 ms block (4410 frames): 50 frames");
    EXPECT_EQ(JsonQuery(json, "'left' in d['files'][1]"), "False");
    const double p90 = JsonNumber(json, "d['files'][0]['left']['p90_db']");
    const double rightP90 = JsonNumber(json, "d['files'][0]['right']['p90_db']");
    EXPECT_NEAR(JsonNumber(json, "d['files'][0]['left_minus_right_db']"), p90 - rightP90, 0.0051);
}

TEST(MeasureTool, NoProgressBarWhenStandardErrorIsNotATerminal)
{
    const TScratchDir dir;
    const std::string wav = dir.File("long.wav");
    WriteWavFile(wav, std::vector<int16_t>(BlockFrames * 2 * 700, 5));
    const TToolRun run = RunTool(dir, {wav});
    EXPECT_EQ(run.Status, 0);
    EXPECT_TRUE(run.Err.empty()) << run.Err;
}

TEST(MeasureTool, ProgressBarOnATerminal)
{
    // script(1) gives the tool a terminal; the report itself goes to a file.
    const TScratchDir dir;
    const std::string wav = dir.File("long.wav");
    WriteWavFile(wav, std::vector<int16_t>(BlockFrames * 2 * 700, 5));
    int status = 0;
    const std::string terminal = RunCommand("script -qec " + ShellQuote(BuiltProgramCommand(Tool) + " " + ShellQuote(wav) + " >" +
                                                                  ShellQuote(dir.File("report.txt"))) +
                                                " /dev/null",
                                            status);
    EXPECT_EQ(status, 0) << terminal;
    EXPECT_NE(terminal.find("\r" + wav + " [..............................]   0%"), std::string::npos) << terminal;
    EXPECT_NE(terminal.find("\r" + wav + " [##############################] 100%\r\033[K"), std::string::npos) << terminal;
    EXPECT_NE(ReadText(dir.File("report.txt")).find("700 blocks"), std::string::npos);
}

TEST(MeasureTool, BlocksAreACsvFileByThemselves)
{
    const TScratchDir dir;
    const std::string a = dir.File("pass, part 1.wav");
    const std::string b = dir.File("b.wav");
    WriteWavFile(a, Noise(3));
    WriteWavFile(b, Noise(2));
    const std::string row = R"([0-9]+\.[0-9]{6},[-0-9.e]+,[-0-9.e]+\n)";
    const TToolRun one = RunTool(dir, {"--blocks", b});
    ASSERT_EQ(one.Status, 0) << one.Err;
    EXPECT_TRUE(std::regex_match(one.Out, std::regex("time_s,left_db,right_db\n(" + row + "){2}"))) << one.Out;
    // Several files: a first column names each; a name with a comma is quoted.
    const TToolRun two = RunTool(dir, {"--blocks", a, b});
    ASSERT_EQ(two.Status, 0) << two.Err;
    const auto literally = [](const std::string& Text) {
        return std::regex_replace(Text, std::regex(R"([.\\^$|()\[\]{}*+?])"), R"(\$&)");
    };
    const std::string rowsOfA = "(" + literally("\"" + a + "\"") + "," + row + "){3}";
    const std::string rowsOfB = "(" + literally(b) + "," + row + "){2}";
    EXPECT_TRUE(std::regex_match(two.Out, std::regex("file,time_s,left_db,right_db\n" + rowsOfA + rowsOfB))) << two.Out;
}
