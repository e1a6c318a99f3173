// TBasicAudioAnalyser fed with WAV files written by the test, through
// ProcessFile, into a real level meter: the reference levels, smoothing,
// offsets, the copy of the header handed to OnData, the display, short blocks.

#include "analyserprobe.h"

#include "analysis/peakmeasure.h"
#include "analysis/rmsmeasure.h"
#include "audio/powertodb.h"
#include "platform/forms/application.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <numbers>

namespace {

constexpr double TwoDecimals = 0.005;   // dB: a level "to two decimals"
constexpr double FourDecimals = 0.00005; // dB
constexpr uint32_t OneE8Bits = 0x322BCC77; // 1e-8 as single precision
constexpr int16_t FullScale = 32767;
constexpr double SineHz = 1000.0; // 100 whole cycles in 4410 frames at 44.1 kHz
constexpr double RateHz = 44100.0;

std::vector<int16_t> SineFrames(size_t Frames, double Amplitude)
{
    std::vector<int16_t> samples(Frames * 2);
    for (size_t i = 0; i < Frames; ++i) {
        const double phase = 2.0 * std::numbers::pi * SineHz * static_cast<double>(i) / RateHz;
        samples[2 * i] = samples[2 * i + 1] = static_cast<int16_t>(std::lround(Amplitude * std::sin(phase)));
    }
    return samples;
}

std::vector<int16_t> SquareFrames(size_t Frames)
{
    constexpr size_t HalfPeriod = 50;
    std::vector<int16_t> samples(Frames * 2);
    for (size_t i = 0; i < Frames; ++i)
        samples[2 * i] = samples[2 * i + 1] = (i / HalfPeriod) % 2 == 0 ? FullScale : -FullScale;
    return samples;
}

// Silence with one sample of the given value on each channel.
std::vector<int16_t> OneSample(int16_t Value)
{
    std::vector<int16_t> samples = ConstantFrames(FullBlockFrames, 0, 0);
    samples[1000] = Value;
    samples[2001] = Value;
    return samples;
}

std::vector<int16_t> Join(const std::vector<std::vector<int16_t>>& Blocks)
{
    std::vector<int16_t> all;
    for (const auto& block : Blocks)
        all.insert(all.end(), block.begin(), block.end());
    return all;
}

// What the meter shows for every block of one file, read in OnData (which
// comes after the meter's writes).
class AnalyserFile : public ::testing::Test {
protected:
    AnalyserFile()
    {
        Analyser = new TProbeAnalyser(Meter.Form.get());
        Analyser->SetLevelMeter(Meter.Meter);
        Analyser->SetOnData([this](wavehdr_tag& Header) { Data(Header); });
    }

    void Data(wavehdr_tag& Header)
    {
        if (Meter.Meter) {
            Left.push_back(Meter.Meter->LeftdB());
            Right.push_back(Meter.Meter->RightdB());
        }
        Numbers.push_back(Analyser->BufferNumber());
        Headers.push_back(Header);
        HeaderAddresses.push_back(&Header);
        const auto* samples = reinterpret_cast<const int16_t*>(Header.lpData);
        Seen.emplace_back(samples, samples + Header.dwBytesRecorded / 2);
        if (OnBlock)
            OnBlock(Header);
    }

    void Feed(const std::vector<int16_t>& Samples)
    {
        Analyser->ProcessFile(WriteStereo(Dir, "feed" + std::to_string(++Files) + ".wav", Samples));
    }

    TScratchDir Dir;
    TMeterForm Meter;
    TProbeAnalyser* Analyser = nullptr;
    int Files = 0;
    std::vector<float> Left, Right;
    std::vector<int32_t> Numbers;
    std::vector<wavehdr_tag> Headers;
    std::vector<wavehdr_tag*> HeaderAddresses;
    std::vector<std::vector<int16_t>> Seen;
    std::function<void(wavehdr_tag&)> OnBlock;
};

struct TReference {
    const char* Name;
    std::vector<int16_t> (*Block)();
    bool PeakLevel;
    double dB;
    double Tolerance;
};

class AnalyserReference : public AnalyserFile, public ::testing::WithParamInterface<TReference> {};

} // namespace

TEST_P(AnalyserReference, ReadsTheReferenceLevel)
{
    const TReference& row = GetParam();
    const std::vector<int16_t> block = row.Block();
    Analyser->SetPeakLevel(row.PeakLevel);
    Feed(block);
    ASSERT_EQ(Left.size(), 1u);
    EXPECT_NEAR(Left[0], row.dB, row.Tolerance);
    EXPECT_NEAR(Right[0], row.dB, row.Tolerance);
    // The meter holds exactly what the shared arithmetic gives for the block.
    const TStereoPower power = row.PeakLevel ? MeasurePeakPower(block.data(), FullBlockFrames)
                                             : MeasureRmsPower(block.data(), FullBlockFrames);
    EXPECT_EQ(Left[0], PowerTodB(power.Left));
    EXPECT_EQ(Right[0], PowerTodB(power.Right));
    EXPECT_EQ(Analyser->LeftPower(), power.Left);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AnalyserReference,
    ::testing::Values(
        TReference{"FullScaleSinePeak", [] { return SineFrames(FullBlockFrames, FullScale); }, true, 0.0, TwoDecimals},
        TReference{"FullScaleSineRms", [] { return SineFrames(FullBlockFrames, FullScale); }, false, 0.0, TwoDecimals},
        TReference{"FullScaleSquareRms", [] { return SquareFrames(FullBlockFrames); }, false, 3.01, TwoDecimals},
        TReference{"FullScaleSquarePeak", [] { return SquareFrames(FullBlockFrames); }, true, 0.0, TwoDecimals},
        TReference{"Peak32768", [] { return OneSample(-32768); }, true, 0.0003, FourDecimals},
        TReference{"Peak16384", [] { return OneSample(16384); }, true, -6.02, TwoDecimals},
        TReference{"PeakOfSilence", [] { return ConstantFrames(FullBlockFrames, 0, 0); }, true, -90.31, TwoDecimals},
        TReference{"RmsOfDigitalSilence", [] { return ConstantFrames(FullBlockFrames, 0, 0); }, false, -196.16,
                   TwoDecimals}),
    [](const ::testing::TestParamInfo<TReference>& Info) { return std::string(Info.param.Name); });

TEST(AnalyserCreate, StartsWithItsDefaults)
{
    TProbeAnalyser analyser(nullptr);
    EXPECT_EQ(analyser.LeftOffset(), 0);
    EXPECT_EQ(analyser.RightOffset(), 0);
    EXPECT_EQ(analyser.LevelMeter(), nullptr);
    EXPECT_EQ(analyser.Display(), nullptr);
    EXPECT_FALSE(analyser.PeakLevel());
    EXPECT_EQ(std::bit_cast<uint32_t>(analyser.LastLeftPower()), OneE8Bits);
    EXPECT_EQ(std::bit_cast<uint32_t>(analyser.LastRightPower()), OneE8Bits);
    EXPECT_EQ(analyser.LeftPower(), 0.0f);
    EXPECT_EQ(analyser.RightPower(), 0.0f);
    // The wave input's own defaults are kept.
    EXPECT_FALSE(analyser.Enabled());
    EXPECT_FALSE(analyser.AutoStart());
    EXPECT_EQ(analyser.BufferSamples(), static_cast<int32_t>(FullBlockFrames));
    EXPECT_EQ(analyser.State(), wsClosed);
}

TEST_F(AnalyserFile, SmoothsThreeQuartersOldOneQuarterNewFromTheSecondBlock)
{
    const std::vector<std::vector<int16_t>> blocks = {
        ConstantFrames(FullBlockFrames, 20000, 100), ConstantFrames(FullBlockFrames, 1000, 30000),
        ConstantFrames(FullBlockFrames, 8, 8), ConstantFrames(FullBlockFrames, -32768, 5)};
    Analyser->SetPeakLevel(true);
    Feed(Join(blocks));
    ASSERT_EQ(Left.size(), blocks.size());
    EXPECT_EQ(Numbers, (std::vector<int32_t>{0, 1, 2, 3}));
    // The first block of a file shows its own level.
    float lastLeft = PeakToPower(20000);
    float lastRight = PeakToPower(100);
    EXPECT_EQ(Left[0], PowerTodB(lastLeft));
    EXPECT_EQ(Right[0], PowerTodB(lastRight));
    const int32_t leftPeaks[] = {20000, 1000, 8, 32768};
    const int32_t rightPeaks[] = {100, 30000, 8, 5};
    for (size_t i = 1; i < blocks.size(); ++i) {
        lastLeft = static_cast<float>((3.0L * lastLeft + PeakToPower(leftPeaks[i])) / 4.0L);
        lastRight = static_cast<float>((3.0L * lastRight + PeakToPower(rightPeaks[i])) / 4.0L);
        EXPECT_EQ(Left[i], PowerTodB(lastLeft)) << i;
        EXPECT_EQ(Right[i], PowerTodB(lastRight)) << i;
    }
    EXPECT_EQ(Analyser->LeftPower(), lastLeft);
    EXPECT_EQ(Analyser->LastLeftPower(), lastLeft);
    EXPECT_EQ(Analyser->RightPower(), lastRight);
    // A rise from 1000 to 30000 shows as a quarter of the new power plus three quarters of the old.
    EXPECT_NEAR(std::pow(10.0, Right[1] / 10.0) * 0.5,
                0.75 * std::pow(10.0, Right[0] / 10.0) * 0.5 + 0.25 * PeakToPower(30000), 1e-6);
}

TEST_F(AnalyserFile, TheFirstBlockOfEveryFileIsUnsmoothed)
{
    Analyser->SetPeakLevel(true);
    Feed(ConstantFrames(FullBlockFrames * 2, 30000, 30000));
    Feed(ConstantFrames(FullBlockFrames, 300, 3));
    ASSERT_EQ(Left.size(), 3u);
    EXPECT_EQ(Left[2], PowerTodB(PeakToPower(300)));
    EXPECT_EQ(Right[2], PowerTodB(PeakToPower(3)));
}

TEST_F(AnalyserFile, SwitchingPeakLevelBetweenBlocksKeepsSmoothing)
{
    // Peak and RMS differ by far for a lone spike.
    std::vector<int16_t> block = ConstantFrames(FullBlockFrames, 100, 100);
    block[500] = 20000;
    Analyser->SetPeakLevel(true);
    OnBlock = [this](wavehdr_tag&) {
        if (Numbers.size() == 2)
            Analyser->SetPeakLevel(false);
    };
    Feed(Join({block, block, block}));
    ASSERT_EQ(Left.size(), 3u);
    const float peak = MeasurePeakPower(block.data(), FullBlockFrames).Left;
    const float rms = MeasureRmsPower(block.data(), FullBlockFrames).Left;
    EXPECT_EQ(Left[0], PowerTodB(peak));
    EXPECT_EQ(Left[1], PowerTodB(peak));
    // The RMS block is smoothed against the last peak power.
    EXPECT_EQ(Left[2], PowerTodB(static_cast<float>((3.0L * peak + rms) / 4.0L)));
    EXPECT_GT(Left[2], PowerTodB(rms));
}

TEST_F(AnalyserFile, OffsetsAreTakenOffBeforeAnythingSeesTheSamples)
{
    auto display = std::make_unique<TProbeDisplay>(nullptr);
    Analyser->SetDisplay(display.get());
    Analyser->SetPeakLevel(true);
    Analyser->SetLeftOffset(1);
    Analyser->SetRightOffset(0x10000 - 1); // only the low 16 bits count: -1
    std::vector<int16_t> block = ConstantFrames(FullBlockFrames, 100, 100);
    block[0] = -32768;
    block[1] = 32767;
    Feed(block);
    ASSERT_EQ(Seen.size(), 1u);
    // With an offset of 1, -32768 wraps round to +32767; with -1, +32767 to -32768.
    EXPECT_EQ(Seen[0][0], 32767);
    EXPECT_EQ(Seen[0][1], -32768);
    EXPECT_EQ(Seen[0][2], 99);
    EXPECT_EQ(Seen[0][3], 101);
    ASSERT_EQ(display->Offers.size(), 1u);
    EXPECT_EQ(display->Offers[0].Values, Seen[0]);
    // The meter measured the corrected samples.
    EXPECT_EQ(Left[0], PowerTodB(PeakToPower(32767)));
    EXPECT_EQ(Right[0], PowerTodB(PeakToPower(32768)));
    Analyser->SetDisplay(nullptr);
}

TEST_F(AnalyserFile, OnDataGetsACopyOfTheHeaderAndTheDisplayTheBlock)
{
    auto display = std::make_unique<TProbeDisplay>(nullptr);
    Analyser->SetDisplay(display.get());
    // A handler's changes to the header are lost; changes to the samples stay.
    OnBlock = [](wavehdr_tag& Header) {
        reinterpret_cast<int16_t*>(Header.lpData)[0] = 1234;
        Header.dwBytesRecorded = 8;
        Header.lpData = nullptr;
        Header.dwUser = 0;
    };
    Feed(Join({ConstantFrames(FullBlockFrames, 5, 6), ConstantFrames(FullBlockFrames, 7, 8)}));
    ASSERT_EQ(Headers.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_NE(HeaderAddresses[i], Analyser->Handled[i]) << "a copy, not the feed's own header";
        EXPECT_EQ(Headers[i].dwUser, FileBlockMarker);
        EXPECT_EQ(Headers[i].dwBytesRecorded, FullBlockFrames * 4);
        ASSERT_EQ(display->Offers.size(), 2u);
        EXPECT_EQ(display->Offers[i].Samples, reinterpret_cast<int16_t*>(Headers[i].lpData));
        EXPECT_EQ(display->Offers[i].FrameCount, static_cast<int32_t>(FullBlockFrames));
        EXPECT_TRUE(display->Offers[i].ContinueOnEntry);
        EXPECT_EQ(display->Offers[i].Values[0], 1234);
    }
    // The next block came from where it should: the feed's header was not changed.
    EXPECT_EQ(Seen[1][1], 8);
    EXPECT_EQ(reinterpret_cast<char*>(display->Offers[1].Samples) - reinterpret_cast<char*>(display->Offers[0].Samples),
              static_cast<ptrdiff_t>(FullBlockFrames * 4));
    EXPECT_EQ(display->Source(), Analyser);
    Analyser->SetDisplay(nullptr);
}

TEST_F(AnalyserFile, WithoutAMeterEverythingButTheMeasureRuns)
{
    auto display = std::make_unique<TProbeDisplay>(nullptr);
    Analyser->SetDisplay(display.get());
    Analyser->SetLevelMeter(nullptr);
    Analyser->SetLeftOffset(10);
    Meter.Meter->SetLeftdB(-12.5f);
    Meter.Meter->SetRightdB(-13.5f);
    Feed(Join({ConstantFrames(FullBlockFrames, 110, -20), ConstantFrames(FullBlockFrames, 110, -20)}));
    ASSERT_EQ(Seen.size(), 2u);
    EXPECT_EQ(Seen[0][0], 100);
    EXPECT_EQ(Seen[0][1], -20);
    EXPECT_EQ(display->Offers.size(), 2u);
    EXPECT_EQ(Analyser->NumbersAfter, (std::vector<int32_t>{1, 2}));
    // Nothing measured, nothing written.
    EXPECT_EQ(Left, (std::vector<float>{-12.5f, -12.5f}));
    EXPECT_EQ(Right, (std::vector<float>{-13.5f, -13.5f}));
    EXPECT_EQ(Analyser->LeftPower(), 0.0f);
    EXPECT_EQ(std::bit_cast<uint32_t>(Analyser->LastLeftPower()), OneE8Bits);
    Analyser->SetDisplay(nullptr);
}

TEST_F(AnalyserFile, AShortBlockChangesNothing)
{
    auto display = std::make_unique<TProbeDisplay>(nullptr);
    Analyser->SetDisplay(display.get());
    Analyser->SetPeakLevel(true);
    Analyser->SetLeftOffset(1000);
    Feed(Join({ConstantFrames(FullBlockFrames, 1100, 1100), ConstantFrames(FullBlockFrames / 2, 32000, 32000)}));
    ASSERT_EQ(Analyser->Handled.size(), 2u);
    EXPECT_EQ(Left.size(), 1u);
    EXPECT_EQ(display->Offers.size(), 1u);
    // Not counted: the feed numbered it 2 (one past the last full block's count), and the analyser left it there.
    EXPECT_EQ(Analyser->NumbersAfter, (std::vector<int32_t>{1, 2}));
    // Not measured: the meter still shows the full block's level.
    EXPECT_EQ(Meter.Meter->LeftdB(), PowerTodB(PeakToPower(100)));
    EXPECT_EQ(Analyser->LeftPower(), PeakToPower(100));
    Analyser->SetDisplay(nullptr);
}

namespace {

// Reads a short block after the analyser is done with it, while the file's data still exists.
class TTailReader : public TProbeAnalyser {
public:
    using TProbeAnalyser::TProbeAnalyser;
    std::vector<int16_t> Tail;

protected:
    void HandleData() override
    {
        TProbeAnalyser::HandleData();
        const uint32_t bytes = FCurrentHeader->dwBytesRecorded;
        if (bytes != static_cast<uint32_t>(FBufferSamples) * 4) {
            const auto* samples = reinterpret_cast<const int16_t*>(FCurrentHeader->lpData);
            Tail.assign(samples, samples + bytes / 2);
        }
    }
};

} // namespace

TEST_F(AnalyserFile, AShortBlockIsNotCorrected)
{
    TTailReader reader(nullptr);
    reader.SetLeftOffset(1000);
    reader.SetRightOffset(-3);
    const std::vector<int16_t> tail = ConstantFrames(3, 1500, 7);
    reader.ProcessFile(WriteStereo(Dir, "tail.wav", Join({ConstantFrames(FullBlockFrames, 1, 1), tail})));
    EXPECT_EQ(reader.Tail, tail);
}

TEST_F(AnalyserFile, SetEnabledClearsTheDisplaysBlockCountOnEveryWrite)
{
    auto display = std::make_unique<TProbeDisplay>(nullptr);
    Analyser->SetDisplay(display.get());
    display->SetBlockCount(7);
    Analyser->SetEnabled(false); // the value it already has
    EXPECT_EQ(display->BlockCount(), 0);
    // ProcessFile switches the input off through the same setter, before the
    // display counts the file's one block.
    display->SetBlockCount(5);
    Feed(ConstantFrames(FullBlockFrames, 0, 0));
    EXPECT_EQ(display->BlockCount(), 1);
    Analyser->SetDisplay(nullptr);
}

TEST_F(AnalyserFile, SetDisplayBindsTheDisplayAndAReplacedOneKeepsItsSource)
{
    auto first = std::make_unique<TProbeDisplay>(nullptr);
    auto second = std::make_unique<TProbeDisplay>(nullptr);
    first->SetBlockCount(3);
    first->SetPosition(4);
    Analyser->SetDisplay(first.get());
    EXPECT_EQ(Analyser->Display(), first.get());
    EXPECT_EQ(first->Source(), Analyser);
    EXPECT_EQ(first->BlockCount(), 0);
    EXPECT_EQ(first->Position(), 0);
    Analyser->SetDisplay(second.get());
    EXPECT_EQ(first->Source(), Analyser);
    EXPECT_EQ(second->Source(), Analyser);
    Analyser->SetDisplay(nullptr);
    EXPECT_EQ(Analyser->Display(), nullptr);
    EXPECT_EQ(second->Source(), Analyser);
}

TEST_F(AnalyserFile, ADestroyedMeterOrDisplayIsForgotten)
{
    auto display = std::make_unique<TProbeDisplay>(nullptr);
    Analyser->SetDisplay(display.get());
    display.reset();
    EXPECT_EQ(Analyser->Display(), nullptr);
    delete Meter.Meter;
    Meter.Meter = nullptr;
    EXPECT_EQ(Analyser->LevelMeter(), nullptr);
    // Blocks still go through, measured by nobody.
    Feed(ConstantFrames(FullBlockFrames, 1, 1));
    EXPECT_EQ(Numbers, std::vector<int32_t>{0});
}
