// quimbrel-measure as a user runs it: levels against sox, per-block values
// against the measuring arithmetic, clipped blocks, other rates and mono,
// refused files, exit statuses, and JSON that parses.

#include "analysis/offsetestimator.h"
#include "analysis/offsetremoval.h"
#include "analysis/peakmeasure.h"
#include "analysis/powersmoother.h"
#include "analysis/rmsmeasure.h"
#include "audio/powertodb.h"
#include "platform/winver.h"

#include "support/scratchdir.h"
#include "support/soxstats.h"
#include "support/wavwriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <regex>
#include <sstream>

namespace {

constexpr size_t BlockFrames = 4410;
constexpr double SineToSquaredB = 3.0103;
constexpr double TolerancedB = 0.01;

const std::string Tool = std::string(QUIMBREL_BINARY_DIR) + "/tools/measure/quimbrel-measure";

struct TRun {
    int Status = -1;
    std::string Out; // standard output
    std::string Err; // standard error
};

std::string ReadText(const std::string& Path)
{
    std::ifstream file(Path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TRun RunTool(const TScratchDir& Dir, const std::vector<std::string>& Args)
{
    // Grouped, so that the redirections here win over RunCommand's own.
    std::string command = "{ " + ShellQuote(Tool);
    for (const auto& arg : Args)
        command += " " + ShellQuote(arg);
    command += " >" + ShellQuote(Dir.File("out.txt")) + " 2>" + ShellQuote(Dir.File("err.txt")) + " </dev/null; }";
    TRun run;
    RunCommand(command, run.Status);
    run.Out = ReadText(Dir.File("out.txt"));
    run.Err = ReadText(Dir.File("err.txt"));
    return run;
}

// Evaluates a Python expression over the JSON document in File (as d).
std::string JsonQuery(const std::string& File, const std::string& Expression)
{
    int status = 0;
    const std::string output = RunCommand(
        "python3 -c " + ShellQuote("import json,sys; d=json.load(open(sys.argv[1])); print(" + Expression + ")") + " " +
            ShellQuote(File),
        status);
    EXPECT_EQ(status, 0) << output;
    return output.substr(0, output.find_last_not_of('\n') + 1);
}

double JsonNumber(const std::string& File, const std::string& Expression)
{
    return std::stod(JsonQuery(File, Expression));
}

struct TBlockRow {
    double Time;
    float LeftdB;
    float RightdB;
};

// The CSV rows that --blocks adds to the text report.
std::vector<TBlockRow> BlockRows(const std::string& Out)
{
    std::vector<TBlockRow> rows;
    std::istringstream lines(Out);
    std::string line;
    const std::regex row(R"(^([0-9.]+),([-0-9.e]+),([-0-9.e]+)$)");
    std::smatch match;
    while (std::getline(lines, line))
        if (std::regex_match(line, match, row))
            rows.push_back(TBlockRow{std::stod(match[1]), std::strtof(match[2].str().c_str(), nullptr),
                                     std::strtof(match[3].str().c_str(), nullptr)});
    return rows;
}

// What the window's meter is given for each block of Samples: offsets from
// the DC-offset loop taken off, measured, smoothed, converted.
std::vector<std::pair<float, float>> MeterLevels(std::vector<int16_t> Samples, bool PeakLevel)
{
    std::vector<std::pair<float, float>> levels;
    TOffsetEstimator offsets;
    float lastLeft = InitialLastPower;
    float lastRight = InitialLastPower;
    for (size_t start = 0; start + BlockFrames * 2 <= Samples.size(); start += BlockFrames * 2) {
        int16_t* block = Samples.data() + start;
        RemoveOffsets(block, BlockFrames, offsets.LeftOffsetEstimate(), offsets.RightOffsetEstimate());
        const TStereoPower power = PeakLevel ? MeasurePeakPower(block, BlockFrames) : MeasureRmsPower(block, BlockFrames);
        lastLeft = SmoothPower(lastLeft, power.Left, start == 0);
        lastRight = SmoothPower(lastRight, power.Right, start == 0);
        levels.emplace_back(PowerTodB(lastLeft), PowerTodB(lastRight));
        offsets.AddBlock(block, BlockFrames);
    }
    return levels;
}

// Stereo noise whose level and DC offset change from block to block.
std::vector<int16_t> ChangingNoise(size_t Blocks)
{
    std::mt19937 random(99);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<int16_t> samples;
    for (size_t b = 0; b < Blocks; ++b) {
        const double amplitude = 300.0 + 9000.0 * static_cast<double>(b % 7);
        const double offset = b < Blocks / 2 ? 150.0 : -90.0;
        for (size_t i = 0; i < BlockFrames * 2; ++i) {
            const double value = amplitude * noise(random) + (i % 2 == 0 ? offset : -offset / 2);
            samples.push_back(static_cast<int16_t>(std::clamp(std::lround(value), -32768L, 32767L)));
        }
    }
    return samples;
}

void MakeSoxFile(const std::string& Path, const std::vector<std::string>& Effects, const std::string& Channels = "2",
                 const std::string& Rate = "44100")
{
    std::vector<std::string> args{"-r", Rate, "-n", "-b", "16", "-c", Channels, "-D", Path};
    args.insert(args.end(), Effects.begin(), Effects.end());
    RunSox(args);
}

} // namespace

TEST(MeasureTool, SteadySignalsMatchSoxStats)
{
    struct Row {
        const char* Name;
        std::vector<std::string> Effects;
    };
    const Row rows[] = {{"sine", {"synth", "2", "sine", "1000"}},
                        {"sine -6 dB", {"synth", "2", "sine", "1000", "gain", "-6"}},
                        {"square", {"synth", "2", "square", "490"}}}; // whole periods per block: no offset to correct
    const TScratchDir dir;
    for (const Row& row : rows) {
        const std::string wav = dir.File("steady.wav");
        MakeSoxFile(wav, row.Effects);
        const std::vector<TSoxLevels> sox = SoxStats(wav);
        ASSERT_EQ(sox.size(), 2u);
        const std::string json = dir.File("peak.json");
        ASSERT_EQ(RunTool(dir, {"--json", wav}).Status, 0);
        std::rename(dir.File("out.txt").c_str(), json.c_str());
        EXPECT_NEAR(JsonNumber(json, "d['files'][0]['left']['max_db']"), sox[0].PeakdB, TolerancedB) << row.Name;
        EXPECT_NEAR(JsonNumber(json, "d['files'][0]['right']['p90_db']"), sox[1].PeakdB, TolerancedB) << row.Name;
        EXPECT_NEAR(JsonNumber(json, "d['files'][0]['left']['sample_peak_dbfs']"), sox[0].PeakdB, TolerancedB);
        ASSERT_EQ(RunTool(dir, {"--json", "--rms", wav}).Status, 0);
        std::rename(dir.File("out.txt").c_str(), json.c_str());
        EXPECT_NEAR(JsonNumber(json, "d['files'][0]['left']['median_db']"), sox[0].RmsdB + SineToSquaredB, TolerancedB)
            << row.Name;
        EXPECT_NEAR(JsonNumber(json, "d['files'][0]['right']['max_db']"), sox[1].RmsdB + SineToSquaredB, TolerancedB)
            << row.Name;
    }
}

TEST(MeasureTool, FirstBlockOfNoiseMatchesSoxStats)
{
    const TScratchDir dir;
    const std::string wav = dir.File("noise.wav");
    MakeSoxFile(wav, {"synth", "1", "whitenoise", "pinknoise", "gain", "-8"});
    const std::vector<TSoxLevels> sox = SoxStats(wav, BlockFrames);
    const TRun peak = RunTool(dir, {"--blocks", wav});
    ASSERT_EQ(peak.Status, 0) << peak.Err;
    const std::vector<TBlockRow> peakRows = BlockRows(peak.Out);
    ASSERT_EQ(peakRows.size(), 10u);
    EXPECT_NEAR(peakRows[0].LeftdB, sox[0].PeakdB, TolerancedB);
    EXPECT_NEAR(peakRows[0].RightdB, sox[1].PeakdB, TolerancedB);
    const TRun rms = RunTool(dir, {"--blocks", "--rms", wav});
    const std::vector<TBlockRow> rmsRows = BlockRows(rms.Out);
    ASSERT_EQ(rmsRows.size(), 10u);
    EXPECT_NEAR(rmsRows[0].LeftdB, sox[0].RmsdB + SineToSquaredB, TolerancedB);
    EXPECT_NEAR(rmsRows[0].RightdB, sox[1].RmsdB + SineToSquaredB, TolerancedB);
}

TEST(MeasureTool, BlockValuesEqualTheMetersValues)
{
    const TScratchDir dir;
    const std::string wav = dir.File("changing.wav");
    const std::vector<int16_t> samples = ChangingNoise(40);
    WriteWavFile(wav, samples);
    for (bool peakLevel : {true, false}) {
        const TRun run = RunTool(dir, peakLevel ? std::vector<std::string>{"--blocks", wav}
                                                : std::vector<std::string>{"--blocks", "--rms", wav});
        ASSERT_EQ(run.Status, 0) << run.Err;
        const std::vector<TBlockRow> rows = BlockRows(run.Out);
        const auto expected = MeterLevels(samples, peakLevel);
        ASSERT_EQ(rows.size(), expected.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            EXPECT_EQ(rows[i].LeftdB, expected[i].first) << "block " << i << (peakLevel ? " peak" : " RMS");
            EXPECT_EQ(rows[i].RightdB, expected[i].second) << "block " << i << (peakLevel ? " peak" : " RMS");
            EXPECT_DOUBLE_EQ(rows[i].Time, 0.1 * static_cast<double>(i));
        }
    }
}

TEST(MeasureTool, FinalOffsetEstimateIsTheLoops)
{
    const TScratchDir dir;
    const std::string wav = dir.File("offset.wav");
    const std::vector<int16_t> samples = ChangingNoise(30);
    WriteWavFile(wav, samples);
    TOffsetEstimator offsets;
    std::vector<int16_t> corrected = samples;
    for (size_t start = 0; start < corrected.size(); start += BlockFrames * 2) {
        RemoveOffsets(corrected.data() + start, BlockFrames, offsets.LeftOffsetEstimate(), offsets.RightOffsetEstimate());
        offsets.AddBlock(corrected.data() + start, BlockFrames);
    }
    ASSERT_EQ(RunTool(dir, {"--json", wav}).Status, 0);
    const std::string json = dir.File("out.txt");
    EXPECT_EQ(JsonQuery(json, "d['files'][0]['left']['dc_offset_estimate']"), std::to_string(offsets.LeftOffsetEstimate()));
    EXPECT_EQ(JsonQuery(json, "d['files'][0]['right']['dc_offset_estimate']"),
              std::to_string(offsets.RightOffsetEstimate()));
    EXPECT_NE(offsets.LeftOffsetEstimate(), 0);
}

TEST(MeasureTool, CountsClippedBlocks)
{
    const TScratchDir dir;
    const std::string wav = dir.File("clipped.wav");
    std::vector<int16_t> samples(BlockFrames * 2 * 20, 100);
    samples[BlockFrames * 2 * 3 + 10] = 32767;        // left, block 3
    samples[BlockFrames * 2 * 3 + 20] = 32767;        // left, block 3 again
    samples[BlockFrames * 2 * 12 + 2] = 32767;        // left, block 12
    samples[BlockFrames * 2 * 7 + 5] = -32768;        // right, block 7
    samples[BlockFrames * 2 * 9 + 7] = 32766;         // right, block 9: not full scale
    WriteWavFile(wav, samples);
    const TRun run = RunTool(dir, {"--json", wav});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::string json = dir.File("out.txt");
    EXPECT_EQ(JsonQuery(json, "d['files'][0]['left']['clipped_blocks']"), "2");
    EXPECT_NEAR(JsonNumber(json, "d['files'][0]['left']['first_clip_s']"), 0.3, 1e-9);
    EXPECT_NEAR(JsonNumber(json, "d['files'][0]['left']['last_clip_s']"), 1.2, 1e-9);
    EXPECT_EQ(JsonQuery(json, "d['files'][0]['right']['clipped_blocks']"), "1");
    EXPECT_NEAR(JsonNumber(json, "d['files'][0]['right']['first_clip_s']"), 0.7, 1e-9);
    EXPECT_NEAR(JsonNumber(json, "d['files'][0]['right']['sample_peak_dbfs']"), 0.0, 1e-9);

    const TRun text = RunTool(dir, {wav});
    EXPECT_NE(text.Out.find("  clipped blocks              2         1\n"), std::string::npos) << text.Out;
    EXPECT_NE(text.Out.find("    first clip           0.30 s    0.70 s\n"), std::string::npos) << text.Out;
    EXPECT_NE(text.Out.find("    last clip            1.20 s    0.70 s\n"), std::string::npos) << text.Out;
}

TEST(MeasureTool, MonoAndOtherRates)
{
    struct Row {
        const char* Channels;
        const char* Rate;
        uint64_t Blocks;
        double SecondBlockTime;
    };
    const Row rows[] = {{"1", "44100", 10, 0.1}, {"2", "11025", 2, 0.4}, {"1", "11025", 2, 0.4}, {"2", "48000", 10, 0.091875}};
    const TScratchDir dir;
    for (const Row& row : rows) {
        const std::string wav = dir.File("rate.wav");
        MakeSoxFile(wav, {"synth", "1", "sine", "440", "gain", "-6"}, row.Channels, row.Rate);
        const TRun run = RunTool(dir, {"--blocks", wav});
        ASSERT_EQ(run.Status, 0) << run.Err;
        const std::vector<TBlockRow> rows = BlockRows(run.Out);
        ASSERT_EQ(rows.size(), row.Blocks) << row.Rate;
        EXPECT_NEAR(rows[1].Time, row.SecondBlockTime, 1e-6);
        const std::vector<TSoxLevels> sox = SoxStats(wav, BlockFrames);
        EXPECT_NEAR(rows[0].LeftdB, sox[0].PeakdB, TolerancedB) << row.Channels << " " << row.Rate;
        EXPECT_NEAR(rows[0].RightdB, sox.back().PeakdB, TolerancedB) << row.Channels << " " << row.Rate;
        const std::string heading = std::string(", ") + row.Rate + " Hz, " + row.Channels +
                                    (std::string(row.Channels) == "1" ? " channel, " : " channels, ");
        EXPECT_NE(run.Out.find(heading), std::string::npos) << run.Out;
    }
}

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

    const TRun run = RunTool(dir, {eightBit, good, absent, text});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "quimbrel-measure: " + eightBit + ": File is not a 16-bit, 44.1 KHz file\n" +
                           "quimbrel-measure: " + absent + ": no such file\n" + "quimbrel-measure: " + text +
                           ": not a WAV file (no RIFF chunk of form \"WAVE\")\n");
    EXPECT_NE(run.Out.find(good + "\n  duration 0.30 s"), std::string::npos) << run.Out;

    const TRun json = RunTool(dir, {"--json", eightBit, good});
    EXPECT_EQ(json.Status, 1);
    const std::string out = dir.File("out.txt");
    EXPECT_EQ(JsonQuery(out, "d['files'][0]['error']"), "File is not a 16-bit, 44.1 KHz file");
    EXPECT_EQ(JsonQuery(out, "d['files'][1]['blocks']"), "3");
}

TEST(MeasureTool, Usage)
{
    const TScratchDir dir;
    const TRun none = RunTool(dir, {});
    EXPECT_EQ(none.Status, 2);
    EXPECT_EQ(none.Err, "quimbrel-measure: no file given\nusage: quimbrel-measure [--rms] [--json] [--blocks] [--help] "
                        "[--version] FILE...\n");
    const TRun unknown = RunTool(dir, {"--loud", "x.wav"});
    EXPECT_EQ(unknown.Status, 2);
    EXPECT_EQ(unknown.Err.rfind("quimbrel-measure: unknown option --loud\nusage: ", 0), 0u) << unknown.Err;
    EXPECT_TRUE(unknown.Out.empty());

    const TRun help = RunTool(dir, {"--help"});
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Out.rfind("usage: quimbrel-measure", 0), 0u);
    EXPECT_NE(help.Out.find("--rms"), std::string::npos);

    const TRun version = RunTool(dir, {"--version"});
    EXPECT_EQ(version.Status, 0);
    EXPECT_TRUE(std::regex_match(version.Out, std::regex(R"(quimbrel-measure [0-9]+(\.[0-9]+){1,3}\n)"))) << version.Out;
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
    EXPECT_EQ(RunTool(dir, {"--version"}).Out, "quimbrel-measure " + std::string(static_cast<const char*>(value)) + "\n");
}

TEST(MeasureTool, JsonParsesWithBlocksAndMarks)
{
    const TScratchDir dir;
    const std::string a = dir.File("a \"quoted\" name.wav");
    const std::string b = dir.File("b.wav");
    WriteWavFile(a, ChangingNoise(12));
    WriteWavFile(b, std::vector<int16_t>(100, 0)); // shorter than a block
    const TRun run = RunTool(dir, {"--json", "--blocks", "--rms", a, b});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::string json = dir.File("out.txt");
    EXPECT_EQ(JsonQuery(json, "d['measure']"), "rms");
    EXPECT_EQ(JsonQuery(json, "d['files'][0]['file']"), a);
    EXPECT_EQ(JsonQuery(json, "len(d['files'][0]['block_levels'])"), "12");
    EXPECT_EQ(JsonQuery(json, "d['files'][0]['block_levels'][3]['time_s']"), "0.3");
    EXPECT_EQ(JsonQuery(json, "[m['name'] for m in d['files'][0]['marks']]"), "['Resurs/Meteor', 'NOAA', 'Okean/SICH']");
    EXPECT_EQ(JsonQuery(json, "d['files'][0]['marks'][2]['level_db']"), "-12.0");
    EXPECT_EQ(JsonQuery(json, "sorted(d['files'][0]['marks'][0]['left'])"), "['advice', 'by_db', 'text']");
    EXPECT_EQ(JsonQuery(json, "d['files'][1]['blocks']"), "0");
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
    const TRun run = RunTool(dir, {wav});
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
    const std::string terminal = RunCommand("script -qec " + ShellQuote(ShellQuote(Tool) + " " + ShellQuote(wav) + " >" +
                                                                  ShellQuote(dir.File("report.txt"))) +
                                                " /dev/null",
                                            status);
    EXPECT_EQ(status, 0) << terminal;
    EXPECT_NE(terminal.find("\r" + wav + " [..............................]   0%"), std::string::npos) << terminal;
    EXPECT_NE(terminal.find("\r" + wav + " [##############################] 100%\r\033[K"), std::string::npos) << terminal;
    EXPECT_NE(ReadText(dir.File("report.txt")).find("700 blocks"), std::string::npos);
}
