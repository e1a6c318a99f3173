// TWaveIn over real ALSA: "default" is a file device that captures samples
// the test wrote, as fast as buffers are handed to it.

#include "audio/wavein.h"
#include "platform/forms/application.h"
#include "support/alsaconfig.h"
#include "support/messagepump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using messagepump::PumpFor;
using messagepump::PumpUntil;

namespace {

constexpr int32_t SmallBlock = 441; // frames per block in these tests: 10 ms
constexpr int SourceBlocks = 64;    // blocks of distinct samples the device holds
constexpr int QuietRounds = 50;

std::vector<int16_t> Ramp(size_t Frames)
{
    std::vector<int16_t> values(Frames * 2);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<int16_t>(i * 5 + 1);
    return values;
}

// Makes the protected state visible.
class TProbeWaveIn : public TWaveIn {
public:
    using TWaveIn::TWaveIn;
    TWaveInState State() const { return FState; }
    HWAVEIN Device() const { return FWaveIn; }
};

// Records what the component reports.
class WaveInLive : public ::testing::Test {
protected:
    void SetUp() override
    {
        Source = Ramp(static_cast<size_t>(SmallBlock) * SourceBlocks);
        alsaconfig::UseCaptureSamples(Source);
        Application.SetMessageBoxHook([this](const std::string& Text, const std::string&, int) {
            Shown.push_back(Text);
            return IDOK;
        });
        WaveIn = new TProbeWaveIn(nullptr);
        WaveIn->SetBufferSamples(SmallBlock);
        WaveIn->SetOnOpen([this](TObject* Sender) {
            EXPECT_EQ(Sender, WaveIn);
            Log.push_back("open");
        });
        WaveIn->SetOnClose([this](TObject* Sender) {
            EXPECT_EQ(Sender, WaveIn);
            Log.push_back("close");
        });
        WaveIn->SetOnData([this](wavehdr_tag& Header) { Data(Header); });
    }

    void TearDown() override
    {
        delete WaveIn;
        PumpFor(QuietRounds);
        Application.SetMessageBoxHook(nullptr);
    }

    void Data(wavehdr_tag& Header)
    {
        Log.push_back("data");
        Numbers.push_back(WaveIn->BufferNumber());
        Lengths.push_back(Header.dwBytesRecorded);
        Addresses.push_back(Header.lpData);
        EXPECT_EQ(Header.dwUser, 0u);
        const auto* samples = reinterpret_cast<const int16_t*>(Header.lpData);
        Captured.insert(Captured.end(), samples, samples + Header.dwBytesRecorded / sizeof(int16_t));
        // The test device never waits; the component is stopped from a handler.
        if (static_cast<int>(Numbers.size()) == StopAfter)
            WaveIn->SetEnabled(false);
    }

    int Count(const std::string& Event) const { return static_cast<int>(std::count(Log.begin(), Log.end(), Event)); }

    // Enables the component and waits for its open notification.
    void OpenAndWait()
    {
        WaveIn->SetEnabled(true);
        ASSERT_TRUE(PumpUntil([&] { return Count("open") >= 1; }));
    }

    void ClearRecords()
    {
        Log.clear();
        Numbers.clear();
        Lengths.clear();
        Addresses.clear();
        Captured.clear();
    }

    std::vector<int16_t> SourcePrefix(int Blocks) const
    {
        return std::vector<int16_t>(Source.begin(), Source.begin() + Blocks * SmallBlock * 2);
    }

    std::vector<int16_t> Source;
    TProbeWaveIn* WaveIn = nullptr;
    int StopAfter = 8; // blocks before a handler disables the component
    std::vector<std::string> Log, Shown;
    std::vector<int32_t> Numbers;
    std::vector<uint32_t> Lengths;
    std::vector<char*> Addresses;
    std::vector<int16_t> Captured;
};

} // namespace

TEST_F(WaveInLive, DeliversNumberedFullBlocksOfTheDeviceSamplesClosesOnceAndReopens)
{
    WaveIn->SetAutoStart(true);
    OpenAndWait();
    ASSERT_TRUE(PumpUntil([&] { return Count("close") == 1; }));
    PumpFor(QuietRounds);

    std::vector<std::string> expected{"open"};
    expected.insert(expected.end(), StopAfter, "data");
    expected.push_back("close");
    EXPECT_EQ(Log, expected);
    EXPECT_EQ(Numbers, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Lengths, std::vector<uint32_t>(StopAfter, SmallBlock * 4));
    EXPECT_EQ(Captured, SourcePrefix(StopAfter));
    // Two buffers go round and round.
    EXPECT_EQ(Addresses[0], Addresses[2]);
    EXPECT_EQ(Addresses[1], Addresses[3]);
    EXPECT_NE(Addresses[0], Addresses[1]);
    EXPECT_FALSE(WaveIn->Enabled());
    EXPECT_EQ(WaveIn->State(), wsClosed);
    EXPECT_EQ(WaveIn->Device(), nullptr);
    EXPECT_EQ(WaveIn->Status(), 0u);

    // Reopening starts a new count, and the device starts its samples again.
    ClearRecords();
    OpenAndWait();
    ASSERT_TRUE(PumpUntil([&] { return Count("close") == 1; }));
    EXPECT_EQ(Numbers, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Captured, SourcePrefix(StopAfter));
    EXPECT_TRUE(Shown.empty());
}

TEST_F(WaveInLive, WithoutAutoStartNothingArrivesUntilStart)
{
    OpenAndWait();
    PumpFor(QuietRounds);
    EXPECT_EQ(Log, std::vector<std::string>{"open"});
    EXPECT_EQ(WaveIn->State(), wsOpening);
    WaveIn->Start();
    EXPECT_EQ(WaveIn->State(), wsRunning);
    ASSERT_TRUE(PumpUntil([&] { return Count("close") == 1; }));
    EXPECT_EQ(Numbers.front(), 0);
    EXPECT_EQ(Captured, SourcePrefix(StopAfter));
}

TEST_F(WaveInLive, StartDoesNothingWhenClosed)
{
    WaveIn->Start();
    EXPECT_EQ(WaveIn->State(), wsClosed);
    PumpFor(QuietRounds);
    EXPECT_TRUE(Log.empty());
}

TEST_F(WaveInLive, WritingEnabledWithItsValueDoesNothing)
{
    WaveIn->SetEnabled(false);
    OpenAndWait();
    const HWAVEIN device = WaveIn->Device();
    WaveIn->SetEnabled(true);
    PumpFor(QuietRounds);
    EXPECT_EQ(Log, std::vector<std::string>{"open"});
    EXPECT_EQ(WaveIn->Device(), device);
}

TEST_F(WaveInLive, WritingAnEventWhileOpenClosesAndReopens)
{
    OpenAndWait();
    const HWAVEIN device = WaveIn->Device();
    int newCloses = 0;
    // The new handler is the one that hears the close.
    WaveIn->SetOnClose([&](TObject*) { ++newCloses; });
    EXPECT_EQ(newCloses, 1);
    EXPECT_EQ(Count("close"), 0);
    ASSERT_TRUE(PumpUntil([&] { return Count("open") == 2; }));
    EXPECT_NE(WaveIn->Device(), device);

    WaveIn->SetOnOpen([&](TObject*) { Log.push_back("new open"); });
    EXPECT_EQ(newCloses, 2);
    ASSERT_TRUE(PumpUntil([&] { return Count("new open") == 1; }));
    WaveIn->SetOnData([&](wavehdr_tag&) {});
    EXPECT_EQ(newCloses, 3);
    ASSERT_TRUE(PumpUntil([&] { return Count("new open") == 2; }));
    EXPECT_TRUE(WaveIn->Enabled());
}

TEST_F(WaveInLive, WritingAnEventWhileDisabledOpensNothing)
{
    WaveIn->SetOnClose([&](TObject*) { Log.push_back("new close"); });
    PumpFor(QuietRounds);
    EXPECT_TRUE(Log.empty());
    EXPECT_EQ(WaveIn->Device(), nullptr);
}

TEST_F(WaveInLive, WritingAutoStartDisablesAndCloses)
{
    OpenAndWait();
    WaveIn->SetAutoStart(true);
    EXPECT_TRUE(WaveIn->AutoStart());
    EXPECT_FALSE(WaveIn->Enabled());
    EXPECT_EQ(WaveIn->Device(), nullptr);
    PumpFor(QuietRounds);
    EXPECT_EQ(Log, (std::vector<std::string>{"open", "close"}));

    // Running with AutoStart: writing false from a data handler closes too.
    ClearRecords();
    WaveIn->SetOnData([this](wavehdr_tag&) {
        Log.push_back("data");
        WaveIn->SetAutoStart(false);
    });
    WaveIn->SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return Count("close") == 1; }));
    PumpFor(QuietRounds);
    EXPECT_EQ(Log, (std::vector<std::string>{"open", "data", "close"}));
    EXPECT_FALSE(WaveIn->AutoStart());
    EXPECT_FALSE(WaveIn->Enabled());
}

TEST_F(WaveInLive, ANewBufferSizeReplacesTheBuffersAndReopens)
{
    StopAfter = 2;
    OpenAndWait();
    WaveIn->Start();
    ASSERT_TRUE(PumpUntil([&] { return Count("close") == 1; }));
    const std::vector<char*> oldBuffers = Addresses;
    ASSERT_EQ(oldBuffers.size(), 2u);

    ClearRecords();
    OpenAndWait();
    WaveIn->SetBufferSamples(SmallBlock);
    PumpFor(QuietRounds);
    EXPECT_EQ(Log, std::vector<std::string>{"open"});

    WaveIn->SetBufferSamples(2 * SmallBlock);
    EXPECT_EQ(WaveIn->BufferSamples(), 2 * SmallBlock);
    EXPECT_TRUE(WaveIn->Enabled());
    EXPECT_EQ(Log, (std::vector<std::string>{"open", "close"}));
    ASSERT_TRUE(PumpUntil([&] { return Count("open") == 2; }));
    WaveIn->Start();
    ASSERT_TRUE(PumpUntil([&] { return Count("close") == 2; }));
    EXPECT_EQ(Log, (std::vector<std::string>{"open", "close", "open", "data", "data", "close"}));
    EXPECT_EQ(Lengths, (std::vector<uint32_t>{2 * SmallBlock * 4, 2 * SmallBlock * 4}));
    for (char* address : Addresses)
        EXPECT_EQ(std::count(oldBuffers.begin(), oldBuffers.end(), address), 0);
    EXPECT_EQ(Captured, SourcePrefix(4));
}

TEST_F(WaveInLive, ABlockLengthBelowOneIsRefusedAndNothingChanges)
{
    OpenAndWait();
    for (int32_t bad : {0, -1, -4410}) {
        EXPECT_THROW(WaveIn->SetBufferSamples(bad), EBufferSamplesError);
        EXPECT_EQ(WaveIn->BufferSamples(), SmallBlock);
        EXPECT_TRUE(WaveIn->Enabled());
    }
    PumpFor(QuietRounds);
    EXPECT_EQ(Log, std::vector<std::string>{"open"});
    try {
        WaveIn->SetBufferSamples(0);
    } catch (const EBufferSamplesError& e) {
        EXPECT_NE(e.Message().find("BufferSamples"), std::string::npos);
    }
}

TEST_F(WaveInLive, ADeviceClosedBeforeItsOpenNotificationClosesWithoutOpening)
{
    WaveIn->SetEnabled(true);
    WaveIn->SetEnabled(false);
    EXPECT_EQ(Log, std::vector<std::string>{"close"});
    PumpFor(QuietRounds);
    EXPECT_EQ(Log, std::vector<std::string>{"close"});
    EXPECT_EQ(WaveIn->State(), wsClosed);

    // Quickly on again: the open notifications of the closed devices do not
    // queue the buffers of the new one.
    ClearRecords();
    WaveIn->SetEnabled(true);
    WaveIn->SetEnabled(false);
    WaveIn->SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return Count("open") == 1; }));
    PumpFor(QuietRounds);
    EXPECT_EQ(Log, (std::vector<std::string>{"close", "open"}));
    StopAfter = 6;
    WaveIn->Start();
    ASSERT_TRUE(PumpUntil([&] { return Count("close") == 2; }));
    EXPECT_EQ(Numbers, (std::vector<int32_t>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(Captured, SourcePrefix(StopAfter));
}

TEST_F(WaveInLive, DestroyingAnOpenComponentFiresNoClose)
{
    OpenAndWait();
    WaveIn->Start();
    delete WaveIn;
    WaveIn = nullptr;
    PumpFor(QuietRounds);
    EXPECT_EQ(Count("close"), 0);
}

TEST_F(WaveInLive, AnExceptionFromAHandlerIsShownAndHandlingGoesOn)
{
    WaveIn->SetOnOpen([](TObject*) { throw Exception("open handler failed"); });
    WaveIn->SetAutoStart(true); // not reached: the handler raised before it
    WaveIn->SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return !Shown.empty(); }));
    EXPECT_EQ(Shown, std::vector<std::string>{"open handler failed"});
    WaveIn->Start();
    ASSERT_TRUE(PumpUntil([&] { return Count("close") == 1; }));
    EXPECT_EQ(Captured, SourcePrefix(StopAfter));
}

TEST(WaveInOpenFailure, AMissingDeviceRaisesWithTheDeviceTextAndLeavesEnabledTrue)
{
    alsaconfig::UseNoDefault();
    TWaveIn waveIn(nullptr);
    int events = 0;
    waveIn.SetOnOpen([&](TObject*) { ++events; });
    waveIn.SetOnClose([&](TObject*) { ++events; });
    try {
        waveIn.SetEnabled(true);
        FAIL() << "no exception";
    } catch (const EWaveInError& e) {
        EXPECT_EQ(e.Message(), "Error 2 opening wave input - No such file or directory (device default)");
    }
    EXPECT_EQ(waveIn.Status(), 2u);
    EXPECT_TRUE(waveIn.Enabled());
    PumpFor(QuietRounds);
    EXPECT_EQ(events, 0);
    // Writing true again changes nothing; a retry needs false first.
    EXPECT_NO_THROW(waveIn.SetEnabled(true));
    EXPECT_NO_THROW(waveIn.SetEnabled(false));
    EXPECT_THROW(waveIn.SetEnabled(true), EWaveInError);
    // A property write that reopens raises too.
    EXPECT_THROW(waveIn.SetOnData([](wavehdr_tag&) {}), EWaveInError);
    EXPECT_THROW(waveIn.SetBufferSamples(100), EWaveInError);
    EXPECT_EQ(waveIn.BufferSamples(), 100);
    PumpFor(QuietRounds);
    EXPECT_EQ(events, 0);
}

TEST(WaveInDefaults, ANewComponentHasTheDesignedValues)
{
    TWaveIn waveIn(nullptr);
    EXPECT_FALSE(waveIn.Enabled());
    EXPECT_FALSE(waveIn.AutoStart());
    EXPECT_FALSE(waveIn.IgnoreFileSampleRate());
    EXPECT_EQ(waveIn.BufferSamples(), 4410);
    EXPECT_EQ(waveIn.Status(), 0u);
    EXPECT_EQ(waveIn.BufferNumber(), 0);
    EXPECT_EQ(waveIn.BufferCount(), 0);
    EXPECT_FALSE(waveIn.OnOpen());
    EXPECT_FALSE(waveIn.OnData());
    EXPECT_FALSE(waveIn.OnClose());
    EXPECT_EQ(sizeof(DefaultWaveFormat), 18u);
    EXPECT_EQ(uint32_t{DefaultWaveFormat.nAvgBytesPerSec}, 176400u); // a copy: the packed field may be misaligned
    EXPECT_EQ(FileBlockMarker, 0x00BC614Eu);
}
