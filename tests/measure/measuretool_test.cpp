// quimbrel-measure's numbers: levels against sox, per-block values against
// the measuring arithmetic, the offset loop, clipped blocks, mono and other
// rates, and interrupted recordings against the whole file.

#include "analysis/offsetestimator.h"
#include "analysis/offsetremoval.h"
#include "analysis/peakmeasure.h"
#include "analysis/powersmoother.h"
#include "analysis/rmsmeasure.h"
#include "audio/powertodb.h"

#include "support/measuretoolrun.h"
#include "support/scratchdir.h"
#include "support/soxstats.h"
#include "support/stereoframes.h"
#include "support/wavwriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>

namespace {

constexpr size_t BlockFrames = 4410;
constexpr double SineToSquaredB = 3.0103;
constexpr double TolerancedB = 0.01;

using stereoframes::ChangingNoise;

TToolRun RunTool(const TScratchDir& Dir, const std::vector<std::string>& Args)
{
    return RunMeasureTool(std::string(QUIMBREL_BINARY_DIR) + MeasureToolInBuild, Dir, Args);
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
    const TToolRun peak = RunTool(dir, {"--blocks", wav});
    ASSERT_EQ(peak.Status, 0) << peak.Err;
    const std::vector<TBlockRow> peakRows = BlockRows(peak.Out);
    ASSERT_EQ(peakRows.size(), 10u);
    EXPECT_NEAR(peakRows[0].LeftdB, sox[0].PeakdB, TolerancedB);
    EXPECT_NEAR(peakRows[0].RightdB, sox[1].PeakdB, TolerancedB);
    const TToolRun rms = RunTool(dir, {"--blocks", "--rms", wav});
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
        const TToolRun run = RunTool(dir, peakLevel ? std::vector<std::string>{"--blocks", wav}
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
    const TToolRun run = RunTool(dir, {"--json", wav});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const std::string json = dir.File("out.txt");
    EXPECT_EQ(JsonQuery(json, "d['files'][0]['left']['clipped_blocks']"), "2");
    EXPECT_NEAR(JsonNumber(json, "d['files'][0]['left']['first_clip_s']"), 0.3, 1e-9);
    EXPECT_NEAR(JsonNumber(json, "d['files'][0]['left']['last_clip_s']"), 1.2, 1e-9);
    EXPECT_EQ(JsonQuery(json, "d['files'][0]['right']['clipped_blocks']"), "1");
    EXPECT_NEAR(JsonNumber(json, "d['files'][0]['right']['first_clip_s']"), 0.7, 1e-9);
    EXPECT_NEAR(JsonNumber(json, "d['files'][0]['right']['sample_peak_dbfs']"), 0.0, 1e-9);

    const TToolRun text = RunTool(dir, {wav});
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
        const TToolRun run = RunTool(dir, {"--blocks", wav});
        ASSERT_EQ(run.Status, 0) << run.Err;
        const std::vector<TBlockRow> rows = BlockRows(run.Out);
        ASSERT_EQ(rows.size(), row.Blocks) << row.Rate;
        EXPECT_NEAR(rows[1].Time, row.SecondBlockTime, 1e-6);
        const std::vector<TSoxLevels> sox = SoxStats(wav, BlockFrames);
        EXPECT_NEAR(rows[0].LeftdB, sox[0].PeakdB, TolerancedB) << row.Channels << " " << row.Rate;
        EXPECT_NEAR(rows[0].RightdB, sox.back().PeakdB, TolerancedB) << row.Channels << " " << row.Rate;
        const std::string heading = std::string(", ") + row.Rate + " Hz, " + row.Channels +
                                    (std::string(row.Channels) == "1" ? " channel, " : " channels, ");
        const TToolRun report = RunTool(dir, {wav});
        EXPECT_NE(report.Out.find(heading), std::string::npos) << report.Out;
    }
}

TEST(MeasureTool, InterruptedRecordingsAreMeasuredToTheirLastFullBlock)
{
    // A whole file of 12 blocks, with a 44-byte header: RIFF size at 4, data size at 40.
    constexpr size_t Blocks = 12;
    constexpr size_t HeaderBytes = 44;
    constexpr size_t BlockBytes = BlockFrames * 4;
    const auto setSize = [](std::vector<uint8_t>& Bytes, size_t At, uint32_t Size) {
        for (size_t i = 0; i < 4; ++i)
            Bytes[At + i] = static_cast<uint8_t>(Size >> (8 * i));
    };
    struct Interruption {
        const char* Name;
        std::function<void(std::vector<uint8_t>&)> Interrupt;
        size_t Blocks;       // full blocks measured
        bool Truncated;      // reported as cut short
        const char* Warning; // on standard error after the file's name; "" for none
        int Status = 0;      // 1 when no block could be measured
    };
    const Interruption cases[] = {
        {"CutMidBlock", [](auto& b) { b.resize(HeaderBytes + 9 * BlockBytes + BlockBytes / 2 + 1); }, 9, true,
         "data chunk cut short: measured 9 of 12 blocks"},
        {"CutMidHeader", [](auto& b) { b.resize(HeaderBytes - 4); }, 0, false,
         "cut short before its \"data\" chunk: shorter than one 100 ms block", 1},
        {"SizesZero", [&](auto& b) { setSize(b, 4, 0), setSize(b, 40, 0); }, Blocks, false, ""},
        {"SizesFFFFFFFFCutMidBlock", // a streamed recording, complete as far as it goes
         [&](auto& b) { setSize(b, 4, 0xFFFFFFFF), setSize(b, 40, 0xFFFFFFFF), b.resize(HeaderBytes + 7 * BlockBytes + 10); },
         7, false, ""},
    };
    const TScratchDir dir;
    const std::string whole = dir.File("whole.wav");
    const std::vector<uint8_t> bytes = WavFileBytes(ChangingNoise(Blocks));
    ASSERT_EQ(bytes.size(), HeaderBytes + Blocks * BlockBytes);
    WriteFileBytes(whole, bytes);
    ASSERT_EQ(RunTool(dir, {"--json", "--blocks", whole}).Status, 0);
    std::rename(dir.File("out.txt").c_str(), dir.File("whole.json").c_str());
    const std::string levels = "[(b['left_db'], b['right_db']) for b in d['files'][0].get('block_levels', [])]";
    for (const Interruption& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<uint8_t> interrupted = bytes;
        c.Interrupt(interrupted);
        const std::string wav = dir.File(std::string(c.Name) + ".wav");
        WriteFileBytes(wav, interrupted);
        const TToolRun run = RunTool(dir, {"--json", "--blocks", wav});
        EXPECT_EQ(run.Status, c.Status) << run.Err;
        EXPECT_EQ(run.Err, *c.Warning ? "quimbrel-measure: " + wav + ": " + c.Warning + "\n" : "");
        const std::string json = dir.File("out.txt");
        if (c.Status != 0) {
            EXPECT_EQ(JsonQuery(json, "d['files'][0]['error']"), c.Warning);
            continue;
        }
        EXPECT_EQ(JsonQuery(json, "d['files'][0]['blocks']"), std::to_string(c.Blocks));
        EXPECT_EQ(JsonQuery(json, "d['files'][0]['truncated']"), c.Truncated ? "True" : "False");
        EXPECT_EQ(JsonQuery(json, levels), JsonQuery(dir.File("whole.json"), levels + "[:" + std::to_string(c.Blocks) + "]"));
    }
}
