#pragma once
// A wave input component with its protected state visible, open on the test
// ALSA device, with every event recorded: the ground for feeding files.

#include "audio/wavein.h"
#include "platform/forms/application.h"
#include "support/alsaconfig.h"
#include "support/messagepump.h"
#include "support/riffbuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

constexpr int32_t TinyBlock = 4; // frames: 16 bytes per block
constexpr int QuietRounds = 20;
inline const std::string WrongFormat = "File is not a 16-bit, 44.1 KHz file";

enum TOutcome { ocFed, ocRejected, ocIgnored };

// Makes the protected state visible and sees every block, short ones too.
class TProbeWaveIn : public TWaveIn {
public:
    using TWaveIn::TWaveIn;
    TWaveInState State() const { return FState; }
    struct TBlock {
        int32_t Number;
        uint32_t Bytes;
        uint32_t User;
        TWaveInState State;
    };
    std::vector<TBlock> Handled;

protected:
    void HandleData() override
    {
        Handled.push_back({FBufferNumber, FCurrentHeader->dwBytesRecorded, FCurrentHeader->dwUser, FState});
        TWaveIn::HandleData();
    }
};

class TFileFeedFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        alsaconfig::UseCaptureSamples(std::vector<int16_t>(4096));
        Application.SetMessageBoxHook([this](const std::string& Text, const std::string& Caption, int Flags) {
            Shown.push_back(Text + " | " + Caption + " | " + std::to_string(Flags));
            return IDOK;
        });
        WaveIn = std::make_unique<TProbeWaveIn>(nullptr);
        WaveIn->SetBufferSamples(TinyBlock);
        WaveIn->SetOnClose([this](TObject*) { Log.push_back("close"); });
        WaveIn->SetOnData([this](wavehdr_tag& Header) {
            Log.push_back("data");
            Numbers.push_back(WaveIn->BufferNumber());
            Counts.push_back(WaveIn->BufferCount());
            EXPECT_EQ(Header.dwUser, FileBlockMarker);
            EXPECT_FALSE(WaveIn->Enabled());
            const auto* samples = reinterpret_cast<const int16_t*>(Header.lpData);
            Fed.insert(Fed.end(), samples, samples + Header.dwBytesRecorded / 2);
        });
        WaveIn->SetOnOpen([this](TObject*) { ++Opens; });
        // The live input is open (and idle) when a file comes.
        WaveIn->SetEnabled(true);
        ASSERT_TRUE(messagepump::PumpUntil([&] { return Opens == 1; }));
    }

    void TearDown() override
    {
        WaveIn.reset();
        messagepump::PumpFor(QuietRounds);
        Application.SetMessageBoxHook(nullptr);
    }

    std::string Write(const std::string& Name, const std::string& Bytes)
    {
        const std::string path = riffbuilder::ScratchPath(Name);
        riffbuilder::WriteFile(path, Bytes);
        return path;
    }

    // What a rejected or unreadable file leaves: nothing happened at all.
    void ExpectUntouched()
    {
        EXPECT_TRUE(Log.empty());
        EXPECT_TRUE(WaveIn->Enabled());
        EXPECT_EQ(WaveIn->State(), wsOpening);
        EXPECT_TRUE(WaveIn->Handled.empty());
    }

    std::unique_ptr<TProbeWaveIn> WaveIn;
    int Opens = 0;
    std::vector<std::string> Log, Shown;
    std::vector<int32_t> Numbers, Counts;
    std::vector<int16_t> Fed;
};

