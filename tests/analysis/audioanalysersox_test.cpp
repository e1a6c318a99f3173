// WAV files made by sox, fed through ProcessFile into the analyser and a real
// meter: the first block's peak reading is sox's "Pk lev dB" for that block,
// and its RMS reading sox's "RMS lev dB" + 3.0103 (our 0 dB is a full-scale
// sine, sox's a full-scale square). sox's full scale is 32768, ours 32767:
// the 0.0003 dB between them is inside the tolerance.

#include "analyserprobe.h"

#include "support/soxstats.h"

#include <gtest/gtest.h>

namespace {

constexpr double SineToSquaredB = 3.0103; // 10 x log10(2)
constexpr double TolerancedB = 0.01;

struct TSoxSignal {
    const char* Name;
    std::vector<std::string> Synth; // sox effects that make one second of it
};

// The meter's readings for the first block of File.
std::pair<float, float> FirstBlockReading(const std::string& File, bool PeakLevel)
{
    TMeterForm meter;
    TBasicAudioAnalyser analyser(nullptr);
    analyser.SetLevelMeter(meter.Meter);
    analyser.SetPeakLevel(PeakLevel);
    std::vector<std::pair<float, float>> readings;
    analyser.SetOnData([&](wavehdr_tag&) { readings.emplace_back(meter.Meter->LeftdB(), meter.Meter->RightdB()); });
    analyser.ProcessFile(File);
    analyser.SetLevelMeter(nullptr);
    if (readings.empty())
        throw std::runtime_error("no block was fed from " + File);
    return readings.front();
}

class AnalyserSox : public ::testing::TestWithParam<TSoxSignal> {};

} // namespace

TEST_P(AnalyserSox, FirstBlockReadsAsSoxStats)
{
    const TScratchDir dir;
    const std::string wav = dir.File("signal.wav");
    MakeSoxFile(wav, GetParam().Synth);
    const std::vector<TSoxLevels> sox = SoxStats(wav, FullBlockFrames);
    ASSERT_EQ(sox.size(), 2u);

    const auto [peakLeft, peakRight] = FirstBlockReading(wav, true);
    EXPECT_NEAR(peakLeft, sox[0].PeakdB, TolerancedB);
    EXPECT_NEAR(peakRight, sox[1].PeakdB, TolerancedB);
    const auto [rmsLeft, rmsRight] = FirstBlockReading(wav, false);
    EXPECT_NEAR(rmsLeft, sox[0].RmsdB + SineToSquaredB, TolerancedB);
    EXPECT_NEAR(rmsRight, sox[1].RmsdB + SineToSquaredB, TolerancedB);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, AnalyserSox,
    ::testing::Values(TSoxSignal{"FullScaleSine", {"synth", "1", "sine", "1000"}},
                      TSoxSignal{"SineMinus6dB", {"synth", "1", "sine", "1000", "gain", "-6"}},
                      TSoxSignal{"Square", {"synth", "1", "square", "441"}},
                      TSoxSignal{"Noise", {"synth", "1", "whitenoise", "gain", "-10"}},
                      TSoxSignal{"DifferentChannels", {"synth", "1", "sine", "300", "pinknoise", "gain", "-3"}}),
    [](const ::testing::TestParamInfo<TSoxSignal>& Info) { return std::string(Info.param.Name); });
