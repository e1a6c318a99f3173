// TBasicAudioAnalyser on real ALSA: "default" is a file device that captures
// samples the test wrote, as fast as buffers are handed to it. The meter is
// a real one; its values are read in OnData, which follows the meter's writes.

#include "analyserprobe.h"

#include "analysis/offsetremoval.h"
#include "analysis/peakmeasure.h"
#include "analysis/powersmoother.h"
#include "audio/powertodb.h"
#include "platform/forms/application.h"
#include "support/alsaconfig.h"
#include "support/messagepump.h"

#include <gtest/gtest.h>

#include <algorithm>

using messagepump::PumpFor;
using messagepump::PumpUntil;

namespace {

constexpr int32_t SmallBlock = 441; // frames per block in these tests: 10 ms
constexpr int SourceBlocks = 48;    // blocks of distinct samples the device holds
constexpr int QuietRounds = 50;

// Block b holds a left peak of 500 + 600 b (the first block the quietest)
// and a right peak of 20000 - 300 b, each once, in a bed of small values.
std::vector<int16_t> SourceSamples()
{
    std::vector<int16_t> values(static_cast<size_t>(SmallBlock) * SourceBlocks * 2);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<int16_t>(static_cast<int>(i % 37) - 18);
    for (int b = 0; b < SourceBlocks; ++b) {
        const size_t frame = static_cast<size_t>(b) * SmallBlock + 100 + static_cast<size_t>(b);
        values[2 * frame] = static_cast<int16_t>(500 + 600 * b);
        values[2 * frame + 1] = static_cast<int16_t>(-(20000 - 300 * b));
    }
    return values;
}

class AnalyserLive : public ::testing::Test {
protected:
    void SetUp() override
    {
        Source = SourceSamples();
        alsaconfig::UseCaptureSamples(Source);
        Application.SetMessageBoxHook([this](const std::string& Text, const std::string&, int) {
            Shown.push_back(Text);
            return IDOK;
        });
        Analyser = new TProbeAnalyser(Meter.Form.get());
        Analyser->SetBufferSamples(SmallBlock);
        Analyser->SetAutoStart(true);
        Analyser->SetLevelMeter(Meter.Meter);
        Analyser->SetPeakLevel(true);
        Analyser->SetOnOpen([this](TObject*) { Log.push_back("open"); });
        Analyser->SetOnClose([this](TObject*) { Log.push_back("close"); });
        Analyser->SetOnData([this](wavehdr_tag& Header) { Data(Header); });
    }

    void TearDown() override
    {
        Analyser->SetDisplay(nullptr);
        Meter.Form.reset();
        PumpFor(QuietRounds);
        Application.SetMessageBoxHook(nullptr);
    }

    void Data(wavehdr_tag& Header)
    {
        Log.push_back("data");
        Left.push_back(Meter.Meter->LeftdB());
        Right.push_back(Meter.Meter->RightdB());
        Numbers.push_back(Analyser->BufferNumber());
        const auto* samples = reinterpret_cast<const int16_t*>(Header.lpData);
        Captured.insert(Captured.end(), samples, samples + Header.dwBytesRecorded / 2);
        if (static_cast<int>(Numbers.size()) == ThrowAt && Throw.empty()) {
            Throw.push_back(&Header);
            throw Exception("data handler failed");
        }
        if (static_cast<int>(Numbers.size()) == StopAfter)
            Analyser->SetEnabled(false);
    }

    int Count(const std::string& Event) const { return static_cast<int>(std::count(Log.begin(), Log.end(), Event)); }

    void RunUntilClosed()
    {
        Analyser->SetEnabled(true);
        ASSERT_TRUE(PumpUntil([&] { return Count("close") == 1; }));
        PumpFor(QuietRounds);
    }

    // The levels the meter must show for the first Blocks source blocks after
    // an open, with the given offsets taken off.
    std::vector<std::pair<float, float>> Expected(int Blocks, int32_t LeftOffset, int32_t RightOffset) const
    {
        std::vector<int16_t> samples(Source.begin(), Source.begin() + Blocks * SmallBlock * 2);
        std::vector<std::pair<float, float>> levels;
        float left = InitialLastPower;
        float right = InitialLastPower;
        for (int b = 0; b < Blocks; ++b) {
            int16_t* block = samples.data() + b * SmallBlock * 2;
            RemoveOffsets(block, SmallBlock, LeftOffset, RightOffset);
            const TStereoPower power = MeasurePeakPower(block, SmallBlock);
            left = SmoothPower(left, power.Left, b == 0);
            right = SmoothPower(right, power.Right, b == 0);
            levels.emplace_back(PowerTodB(left), PowerTodB(right));
        }
        return levels;
    }

    void ExpectLevels(const std::vector<std::pair<float, float>>& Levels) const
    {
        ASSERT_EQ(Left.size(), Levels.size());
        for (size_t i = 0; i < Levels.size(); ++i) {
            EXPECT_EQ(Left[i], Levels[i].first) << "block " << i;
            EXPECT_EQ(Right[i], Levels[i].second) << "block " << i;
        }
    }

    void ClearRecords()
    {
        Log.clear();
        Left.clear();
        Right.clear();
        Numbers.clear();
        Captured.clear();
        Analyser->Handled.clear();
    }

    std::vector<int16_t> Source;
    TMeterForm Meter;
    TProbeAnalyser* Analyser = nullptr;
    int StopAfter = 6; // blocks before OnData disables the analyser
    int ThrowAt = 0;   // the block (counting from 1) whose OnData raises; 0: none
    std::vector<wavehdr_tag*> Throw;
    std::vector<std::string> Log, Shown;
    std::vector<float> Left, Right;
    std::vector<int32_t> Numbers;
    std::vector<int16_t> Captured;
};

} // namespace

TEST_F(AnalyserLive, LiveBlocksAreCorrectedMeasuredSmoothedAndShown)
{
    Analyser->SetLeftOffset(-7);
    Analyser->SetRightOffset(3);
    RunUntilClosed();
    std::vector<std::string> expected{"open"};
    expected.insert(expected.end(), StopAfter, "data");
    expected.push_back("close");
    EXPECT_EQ(Log, expected);
    EXPECT_EQ(Numbers, (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
    ExpectLevels(Expected(StopAfter, -7, 3));
    // OnData saw the corrected samples.
    std::vector<int16_t> corrected(Source.begin(), Source.begin() + StopAfter * SmallBlock * 2);
    RemoveOffsets(corrected.data(), static_cast<size_t>(StopAfter) * SmallBlock, -7, 3);
    EXPECT_EQ(Captured, corrected);
    EXPECT_TRUE(Shown.empty());
}

TEST_F(AnalyserLive, CloseDropsBothBarsToMindB)
{
    RunUntilClosed();
    ASSERT_FALSE(Left.empty());
    EXPECT_GT(Left.back(), -40.0f);
    EXPECT_EQ(Meter.Meter->LeftdB(), static_cast<float>(TMeterForm::MainWindowMindB));
    EXPECT_EQ(Meter.Meter->RightdB(), static_cast<float>(TMeterForm::MainWindowMindB));
    // Likewise when the owner closes it.
    ClearRecords();
    StopAfter = 0;
    Analyser->SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return Count("data") >= 2; }));
    Meter.Meter->SetMindB(-55);
    Analyser->SetEnabled(false);
    EXPECT_EQ(Log.back(), "close");
    EXPECT_EQ(Meter.Meter->LeftdB(), -55.0f);
    EXPECT_EQ(Meter.Meter->RightdB(), -55.0f);
}

TEST_F(AnalyserLive, TheFirstBlockAfterAnOpenIsUnsmoothed)
{
    RunUntilClosed();
    // The device starts its samples again; block 0 is the quietest on the left
    // and the loudest on the right, so smoothing would show in both.
    ClearRecords();
    StopAfter = 2;
    RunUntilClosed();
    ExpectLevels(Expected(2, 0, 0));
    EXPECT_EQ(Left[0], PowerTodB(PeakToPower(500)));
    EXPECT_EQ(Right[0], PowerTodB(PeakToPower(20000)));
}

TEST_F(AnalyserLive, ADisplayThatClearsTheFlagStopsTheInput)
{
    StopAfter = 0;
    TProbeDisplay display(nullptr);
    display.StopAtOffer = 3;
    Analyser->SetDisplay(&display);
    display.SetBlockCount(9);
    RunUntilClosed();
    EXPECT_FALSE(Analyser->Enabled());
    EXPECT_EQ(Analyser->State(), wsClosed);
    std::vector<std::string> expected{"open", "data", "data", "data", "data", "close"};
    EXPECT_EQ(Log, expected);
    ASSERT_EQ(display.Offers.size(), 4u);
    for (const auto& offer : display.Offers) {
        EXPECT_EQ(offer.FrameCount, SmallBlock);
        EXPECT_TRUE(offer.ContinueOnEntry);
    }
    // Closed through the analyser's own setter: the counter was cleared, and the bars dropped.
    EXPECT_EQ(display.BlockCount(), 0);
    EXPECT_EQ(Meter.Meter->LeftdB(), static_cast<float>(TMeterForm::MainWindowMindB));
    // The block that asked for the stop was counted.
    EXPECT_EQ(Analyser->BufferNumber(), 4);
}

TEST_F(AnalyserLive, WritingDisplayWhileEnabledClosesAndReopens)
{
    StopAfter = 0;
    Analyser->SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return Count("data") >= 1; }));
    const size_t before = Log.size();
    const size_t dataBefore = Numbers.size();
    TProbeDisplay display(nullptr);
    Analyser->SetDisplay(&display);
    // Closed at once, reopened with the open notification still to come.
    ASSERT_EQ(Log.size(), before + 1);
    EXPECT_EQ(Log.back(), "close");
    EXPECT_EQ(display.Source(), Analyser);
    EXPECT_TRUE(Analyser->Enabled());
    ASSERT_TRUE(PumpUntil([&] { return !display.Offers.empty(); }));
    EXPECT_EQ(Log[before + 1], "open");
    EXPECT_EQ(Numbers.at(dataBefore), 0) << "the new device counts from 0";
    Analyser->SetEnabled(false);
}

TEST_F(AnalyserLive, AShortDeviceBlockChangesNothingAndGoesBackToTheDevice)
{
    StopAfter = 5;
    // The second block comes back with only part of it filled.
    int blocks = 0;
    Analyser->BeforeData = [&](wavehdr_tag& Header) {
        if (++blocks == 2)
            Header.dwBytesRecorded = 100 * 4;
    };
    RunUntilClosed();
    ASSERT_GE(Analyser->Handled.size(), 4u);
    // Not passed on, not counted.
    EXPECT_EQ(Numbers, (std::vector<int32_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(Analyser->NumbersAfter[1], 1);
    // Both buffers still go round: the short block's header came back.
    EXPECT_NE(Analyser->Handled[0], Analyser->Handled[1]);
    EXPECT_EQ(Analyser->Handled[3], Analyser->Handled[1]);
    EXPECT_EQ(Analyser->Handled[2], Analyser->Handled[0]);
}

TEST_F(AnalyserLive, AnExceptionFromOnDataTakesThatBufferOutOfTheRing)
{
    StopAfter = 5;
    ThrowAt = 2;
    RunUntilClosed();
    EXPECT_EQ(Shown, std::vector<std::string>{"data handler failed"});
    ASSERT_GE(Analyser->Handled.size(), 4u);
    // The failed block was not counted either; the other buffer goes round alone.
    EXPECT_EQ(Numbers, (std::vector<int32_t>{0, 1, 1, 2, 3}));
    EXPECT_EQ(Analyser->Handled[2], Analyser->Handled[0]);
    EXPECT_EQ(Analyser->Handled[3], Analyser->Handled[0]);
}
