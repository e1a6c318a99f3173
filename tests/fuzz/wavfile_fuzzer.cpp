// Any bytes as a WAV file through TWaveIn::ProcessFile: the RIFF search, the
// format check, the data read, mono widening and the block feed. The data
// handler reads every sample of every block it is given and checks what the
// component promises about blocks.

#include "audio/wavein.h"
#include "fuzzscratch.h"
#include "platform/forms/application.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Small blocks, so that short inputs still reach the feed.
constexpr int32_t FuzzBlockFrames = 16;
constexpr uint32_t FrameBytes = 4; // two 16-bit samples

struct TFeedCheck {
    TWaveIn* WaveIn = nullptr;
    int32_t Blocks = 0;        // blocks delivered in the current run
    volatile int64_t Sum = 0;  // keeps the sample reads from being dropped
};

TFeedCheck& Check()
{
    static TFeedCheck check;
    return check;
}

void Data(wavehdr_tag& Header)
{
    TFeedCheck& check = Check();
    // Only full blocks are delivered, in order, each counted in BufferCount.
    if (Header.dwBytesRecorded != FuzzBlockFrames * FrameBytes || Header.dwUser != FileBlockMarker ||
        check.WaveIn->BufferNumber() != check.Blocks || check.Blocks >= check.WaveIn->BufferCount())
        std::abort();
    ++check.Blocks;
    int64_t sum = 0;
    for (uint32_t offset = 0; offset < Header.dwBytesRecorded; offset += sizeof(int16_t)) {
        int16_t sample;
        std::memcpy(&sample, Header.lpData + offset, sizeof sample);
        sum += sample;
    }
    check.Sum = check.Sum + sum;
}

TWaveIn& FuzzedWaveIn()
{
    static TWaveIn* waveIn = [] {
        Application.SetMessageBoxHook([](const std::string&, const std::string&, int) { return IDOK; });
        auto* created = new TWaveIn(nullptr);
        created->SetBufferSamples(FuzzBlockFrames);
        created->SetIgnoreFileSampleRate(true);
        created->SetOnData(Data);
        Check().WaveIn = created;
        return created;
    }();
    return *waveIn;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TWaveIn& waveIn = FuzzedWaveIn();
    const std::string& path = fuzzscratch::WriteInput(Data, Size);
    Check().Blocks = 0;
    waveIn.ProcessFile(path);
    // Every full block of an accepted file is delivered, and the component ends disabled.
    if (waveIn.Enabled() || (Check().Blocks != 0 && Check().Blocks != waveIn.BufferCount()))
        std::abort();
    return 0;
}
