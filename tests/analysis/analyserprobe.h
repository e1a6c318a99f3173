#pragma once
// An analyser, a real level meter and an audio display whose protected state
// tests may read, and helpers that write blocks of samples as WAV files.

#include "analysis/audioanalyser.h"
#include "displays/audiodisplay.h"
#include "displays/levelmeter.h"
#include "platform/forms/form.h"
#include "support/controlonform.h"
#include "support/scratchdir.h"
#include "support/stereoframes.h"
#include "support/wavwriter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

constexpr size_t FullBlockFrames = 4410; // the analyser's default block

class TProbeAnalyser : public TBasicAudioAnalyser {
public:
    using TBasicAudioAnalyser::TBasicAudioAnalyser;
    TWaveInState State() const { return FState; }
    float LeftPower() const { return FLeftPower; }
    float RightPower() const { return FRightPower; }
    float LastLeftPower() const { return FLastLeftPower; }
    float LastRightPower() const { return FLastRightPower; }
    // Lets a test change a device block before the analyser sees it.
    std::function<void(wavehdr_tag& Header)> BeforeData;
    // Every header handled, in order, and the block count after each.
    std::vector<wavehdr_tag*> Handled;
    std::vector<int32_t> NumbersAfter;

protected:
    void HandleData() override
    {
        if (BeforeData && FState == wsRunning)
            BeforeData(*FCurrentHeader);
        Handled.push_back(FCurrentHeader);
        TBasicAudioAnalyser::HandleData();
        NumbersAfter.push_back(FBufferNumber);
    }
};

// A display that records what it is offered and can ask for the input to stop.
class TProbeDisplay : public TAudioDisplay {
public:
    using TAudioDisplay::TAudioDisplay;
    int32_t BlockCount() const { return FBlockCount; }
    void SetBlockCount(int32_t Value) { FBlockCount = Value; }
    int32_t Position() const { return FPosition; }
    void SetPosition(int32_t Value) { FPosition = Value; }
    bool Mode() const { return FMode; }
    int32_t UpperValue() const { return FUpperValue; }
    int32_t LowerValue() const { return FLowerValue; }
    TColor ForegroundColour() const { return FForegroundColour; }
    const int64_t* Buffer8(size_t Index) const { return FColumnBuffers8.at(Index).get(); }
    const int32_t* Buffer4(size_t Index) const { return FColumnBuffers4.at(Index).get(); }

    struct TOffer {
        int16_t* Samples;
        int32_t FrameCount;
        bool ContinueOnEntry;
        std::vector<int16_t> Values; // the samples as offered
    };
    std::vector<TOffer> Offers;
    int StopAtOffer = -1; // index of the offer at which Continue is cleared; -1: never

    // Counts the blocks it is offered, as a drawing display would.

    void ProcessBlock(int16_t* Samples, int32_t FrameCount, bool& Continue) override
    {
        Offers.push_back({Samples, FrameCount, Continue, std::vector<int16_t>(Samples, Samples + 2 * FrameCount)});
        TAudioDisplay::ProcessBlock(Samples, FrameCount, Continue);
        ++FBlockCount;
        if (static_cast<int>(Offers.size()) - 1 == StopAtOffer)
            Continue = false;
    }
};

// A form that owns a meter, laid out as the main window's (41 x 289, MindB -40).
struct TMeterForm {
    static constexpr int MainWindowMindB = -40;

    TMeterForm()
    {
        Meter = MakeMainWindowMeter<TLevelMeter>(Form);
        Meter->SetMindB(MainWindowMindB);
    }

    std::unique_ptr<TForm> Form;
    TLevelMeter* Meter = nullptr;
};

// Writes Samples (interleaved stereo) as a 44.1 kHz WAV file in Dir.
inline std::string WriteStereo(const TScratchDir& Dir, const std::string& Name, const std::vector<int16_t>& Samples)
{
    const std::string path = Dir.File(Name);
    WriteWavFile(path, Samples);
    return path;
}
