// The peak and RMS readings of a block against sox's own statistics of the
// same samples: sox's "Pk lev dB" equals the peak reading and its "RMS lev dB"
// is 3.0103 dB below the RMS reading (our 0 dB is a sine, sox's a square).

#include "analysis/peakmeasure.h"
#include "analysis/rmsmeasure.h"
#include "audio/powertodb.h"
#include "support/scratchdir.h"
#include "support/soxstats.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr size_t BlockFrames = 4410;
constexpr double SineToSquaredB = 3.0103; // 10 x log10(2)
constexpr double TolerancedB = 0.01;

struct Signal {
    const char* Name;
    std::vector<std::string> Synth; // sox effects that make one second of it
};

// The first block of a file made by sox, as interleaved 16-bit samples.
std::vector<int16_t> FirstBlock(const std::string& WavFile, const std::string& RawFile)
{
    RunSox({WavFile, "-t", "raw", "-e", "signed-integer", "-b", "16", RawFile, "trim", "0", std::to_string(BlockFrames) + "s"});
    std::ifstream raw(RawFile, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(raw)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<int16_t>(static_cast<uint8_t>(bytes[2 * i]) | (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
    return samples;
}

class SoxLevels : public testing::TestWithParam<Signal> {};

} // namespace

TEST_P(SoxLevels, FirstBlockMatchesSoxStats)
{
    const TScratchDir dir;
    const std::string wav = dir.File("signal.wav");
    MakeSoxFile(wav, GetParam().Synth);

    const std::vector<int16_t> block = FirstBlock(wav, dir.File("signal.raw"));
    ASSERT_EQ(block.size(), BlockFrames * 2);
    const std::vector<TSoxLevels> sox = SoxStats(wav, BlockFrames);
    ASSERT_EQ(sox.size(), 2u);

    const TStereoPower peak = MeasurePeakPower(block.data(), BlockFrames);
    const TStereoPower rms = MeasureRmsPower(block.data(), BlockFrames);
    EXPECT_NEAR(PowerTodB(peak.Left), sox[0].PeakdB, TolerancedB);
    EXPECT_NEAR(PowerTodB(peak.Right), sox[1].PeakdB, TolerancedB);
    EXPECT_NEAR(PowerTodB(rms.Left), sox[0].RmsdB + SineToSquaredB, TolerancedB);
    EXPECT_NEAR(PowerTodB(rms.Right), sox[1].RmsdB + SineToSquaredB, TolerancedB);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, SoxLevels,
    testing::Values(Signal{"FullScaleSine", {"synth", "1", "sine", "1000"}},
                    Signal{"SineMinus6dB", {"synth", "1", "sine", "1000", "gain", "-6"}},
                    Signal{"Square", {"synth", "1", "square", "441"}},
                    Signal{"Noise", {"synth", "1", "whitenoise", "gain", "-10"}},
                    Signal{"DifferentChannels", {"synth", "1", "sine", "300", "pinknoise", "gain", "-3"}}),
    [](const testing::TestParamInfo<Signal>& Info) { return std::string(Info.param.Name); });
