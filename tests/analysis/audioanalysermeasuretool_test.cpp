// quimbrel-measure and the window's analyser agree to the bit: for one WAV
// file, the per-block levels the tool reports (--blocks --json) are the
// values the analyser writes to a real meter when the file goes through
// ProcessFile, with the main window's DC-offset loop run between blocks.

#include "analyserprobe.h"

#include "analysis/offsetestimator.h"
#include "support/measuretoolrun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <random>
#include <sstream>

namespace {

// Blocks enough for all three divisors of the offset loop (1, 4 and 16).
constexpr size_t FileBlocks = 130;
constexpr size_t TailFrames = 1000; // a short block at the end, shown by neither

struct TLevelBits {
    uint32_t Left;
    uint32_t Right;
    bool operator==(const TLevelBits&) const = default;
};

// Noise whose level and DC offset change from block to block, per channel.
std::vector<int16_t> ChangingNoise(size_t Channels)
{
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<int16_t> samples;
    const size_t frames = FileBlocks * FullBlockFrames + TailFrames;
    for (size_t i = 0; i < frames; ++i) {
        const size_t block = i / FullBlockFrames;
        const double amplitude = 200.0 + 1400.0 * static_cast<double>(block % 5); // seldom near full scale
        const double offset = block < FileBlocks / 3 ? 240.0 : -130.0;
        for (size_t c = 0; c < Channels; ++c) {
            const double value = amplitude * noise(random) + (c == 0 ? offset : -offset / 3);
            samples.push_back(static_cast<int16_t>(std::clamp(std::lround(value), -32768L, 32767L)));
        }
    }
    return samples;
}

// The analyser's levels for every full block, as the meter received them.
std::vector<TLevelBits> AnalyserLevels(const std::string& File, bool PeakLevel, TOffsetEstimator& Offsets)
{
    TMeterForm meter;
    TBasicAudioAnalyser analyser(nullptr);
    analyser.SetLevelMeter(meter.Meter);
    analyser.SetPeakLevel(PeakLevel);
    std::vector<TLevelBits> levels;
    analyser.SetOnData([&](wavehdr_tag& Header) {
        levels.push_back({std::bit_cast<uint32_t>(meter.Meter->LeftdB()), std::bit_cast<uint32_t>(meter.Meter->RightdB())});
        // The main window's loop: the corrected block's mean moves the estimate,
        // which the analyser takes off the next block.
        Offsets.AddBlock(reinterpret_cast<const int16_t*>(Header.lpData), Header.dwBytesRecorded / 4);
        analyser.SetLeftOffset(Offsets.LeftOffsetEstimate());
        analyser.SetRightOffset(Offsets.RightOffsetEstimate());
    });
    analyser.ProcessFile(File);
    analyser.SetLevelMeter(nullptr);
    return levels;
}

// The tool's levels for every block, as the bits of the singles its JSON denotes.
std::vector<TLevelBits> ToolLevels(const TScratchDir& Dir, const std::string& File, bool PeakLevel)
{
    std::vector<std::string> args{"--blocks", "--json", File};
    if (!PeakLevel)
        args.insert(args.begin(), "--rms");
    const TToolRun run = RunMeasureTool(std::string(QUIMBREL_BINARY_DIR) + MeasureToolInBuild, Dir, args);
    EXPECT_EQ(run.Status, 0) << run.Err;
    const std::string bits = JsonQuery(
        Dir.File("out.txt"),
        "' '.join('%d %d' % tuple(__import__('struct').unpack('<2I', __import__('struct').pack('<2f', "
        "b['left_db'], b['right_db']))) for b in d['files'][0]['block_levels'])");
    std::istringstream words(bits);
    std::vector<TLevelBits> levels;
    TLevelBits level{};
    while (words >> level.Left >> level.Right)
        levels.push_back(level);
    return levels;
}

class AnalyserAndMeasureTool : public ::testing::TestWithParam<size_t> {};

} // namespace

TEST_P(AnalyserAndMeasureTool, BlockLevelsAreTheSame)
{
    const TScratchDir dir;
    const std::string wav = dir.File("changing.wav");
    TWavFormat format;
    format.Channels = static_cast<uint16_t>(GetParam());
    WriteWavFile(wav, ChangingNoise(GetParam()), format);
    for (bool peakLevel : {true, false}) {
        SCOPED_TRACE(peakLevel ? "peak" : "RMS");
        TOffsetEstimator offsets;
        const std::vector<TLevelBits> analyser = AnalyserLevels(wav, peakLevel, offsets);
        const std::vector<TLevelBits> tool = ToolLevels(dir, wav, peakLevel);
        ASSERT_EQ(analyser.size(), FileBlocks);
        ASSERT_EQ(tool.size(), FileBlocks);
        for (size_t i = 0; i < FileBlocks; ++i)
            ASSERT_EQ(analyser[i], tool[i]) << "block " << i;
        // The loop did work: the estimates follow the file's offsets of -130 and +43.
        EXPECT_NEAR(offsets.LeftOffsetEstimate(), -130, 15);
        EXPECT_NEAR(offsets.RightOffsetEstimate(), GetParam() == 1 ? -130 : 43, 15);
        EXPECT_NE(analyser[0], analyser[1]);
    }
}

INSTANTIATE_TEST_SUITE_P(Channels, AnalyserAndMeasureTool, ::testing::Values(size_t{2}, size_t{1}),
                         [](const ::testing::TestParamInfo<size_t>& Info) {
                             return Info.param == 1 ? std::string("Mono") : std::string("Stereo");
                         });
