// Choosing the capture device: QUIMBREL_INPUT names the ALSA PCM when it is set
// and not empty, ALSA's "default" is used otherwise, and an opening error names
// the device that was tried. The PCMs are file devices of the test's own ALSA
// configuration, playing samples the test wrote.

#include "platform/alsa/mmsystem.h"
#include "platform/kernel/messages.h"
#include "platform/kernel/sysutils.h"
#include "support/alsaconfig.h"
#include "support/messagepump.h"
#include "support/riffbuilder.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

using messagepump::PumpFor;
using messagepump::PumpUntil;

namespace {

constexpr WAVEFORMATEX StereoCd{1, 2, 44100, 176400, 4, 16, 0};
constexpr unsigned FrameBytes = 4;
constexpr unsigned BlockFrames = 441;    // 10 ms
constexpr size_t ErrorTextBytes = 101;   // the wave input's buffer: 100 characters and the zero
constexpr int QuietRounds = 50;
constexpr int16_t ReceiverFirstSample = 1000; // the named PCM's ramp starts here
constexpr int16_t DefaultFirstSample = -1000; // the default PCM's ramp starts here
const char* const InputVariable = "QUIMBREL_INPUT";

// Stereo ramp of BlockFrames frames from First upwards.
std::vector<int16_t> Ramp(int16_t First)
{
    std::vector<int16_t> values(BlockFrames * 2);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<int16_t>(First + static_cast<int>(i));
    return values;
}

// ALSA configuration text for a capture PCM Name that plays the raw file RawPath.
std::string FilePcm(const std::string& Name, const std::string& RawPath)
{
    return "pcm." + Name + " {\n  type file\n  slave.pcm { type null }\n  file \"/dev/null\"\n"
           "  infile \"" + RawPath + "\"\n  format \"raw\"\n}\n";
}

std::string WriteRaw(const std::string& Name, int16_t First)
{
    const std::string path = riffbuilder::ScratchPath(Name + ".raw");
    riffbuilder::WriteFile(path, riffbuilder::Samples(Ramp(First)));
    return path;
}

// Two capture PCMs: "receiver" and "default", each playing its own ramp.
void UseReceiverAndDefault()
{
    alsaconfig::UseText(FilePcm("receiver", WriteRaw("receiver", ReceiverFirstSample)) +
                        FilePcm("!default", WriteRaw("default", DefaultFirstSample)));
}

// A hidden window that takes the device's notifications, and one buffer.
class TCapture {
public:
    TCapture()
    {
        Window = AllocateHWnd([this](TMessage& M) { Received(M); });
        Buffer.assign(BlockFrames * FrameBytes, '\0');
        Header.lpData = Buffer.data();
        Header.dwBufferLength = static_cast<uint32_t>(Buffer.size());
    }
    ~TCapture() { DeallocateHWnd(Window); }

    MMRESULT Open() { return waveInOpen(&Device, WAVE_MAPPER, &StereoCd, Window, 0, CALLBACK_WINDOW); }

    // Captures one buffer, closes the device and returns its first left sample.
    int16_t FirstCapturedSample()
    {
        EXPECT_EQ(waveInPrepareHeader(Device, &Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        EXPECT_EQ(waveInAddBuffer(Device, &Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
        waveInStart(Device);
        EXPECT_TRUE(PumpUntil([&] { return Filled; }));
        waveInUnprepareHeader(Device, &Header, sizeof(WAVEHDR));
        waveInClose(Device);
        EXPECT_TRUE(PumpUntil([&] { return Closed; }));
        return *reinterpret_cast<const int16_t*>(Buffer.data());
    }

    void Received(TMessage& M)
    {
        ++Notifications;
        Filled = Filled || M.Msg == MM_WIM_DATA;
        Closed = Closed || M.Msg == MM_WIM_CLOSE;
    }

    HWND Window = nullptr;
    HWAVEIN Device = nullptr;
    std::vector<char> Buffer;
    WAVEHDR Header;
    int Notifications = 0;
    bool Filled = false;
    bool Closed = false;
};

std::string ErrorText(MMRESULT Result)
{
    char text[ErrorTextBytes];
    EXPECT_EQ(waveInGetErrorText(Result, text, sizeof text), MMSYSERR_NOERROR);
    return text;
}

class CaptureInput : public ::testing::Test {
protected:
    void TearDown() override { unsetenv(InputVariable); }
};

} // namespace

// The variable unset, naming a PCM, and empty (which means "default").
TEST_F(CaptureInput, TheVariableChoosesThePcmThatIsCaptured)
{
    UseReceiverAndDefault();
    const struct {
        const char* Value; // nullptr: unset
        int16_t FirstSample;
    } cases[] = {{nullptr, DefaultFirstSample}, {"receiver", ReceiverFirstSample}, {"", DefaultFirstSample}};
    for (const auto& c : cases) {
        if (c.Value)
            setenv(InputVariable, c.Value, 1);
        else
            unsetenv(InputVariable);
        TCapture capture;
        ASSERT_EQ(capture.Open(), MMSYSERR_NOERROR) << (c.Value ? c.Value : "unset");
        EXPECT_EQ(capture.FirstCapturedSample(), c.FirstSample) << (c.Value ? c.Value : "unset");
    }
}

TEST_F(CaptureInput, ABadNameFailsToOpenWithAMessageThatNamesTheDevice)
{
    UseReceiverAndDefault();
    setenv(InputVariable, "hw:9,0", 1);
    TCapture capture;
    const MMRESULT result = capture.Open();
    EXPECT_EQ(result, static_cast<MMRESULT>(ENOENT));
    EXPECT_EQ(capture.Device, nullptr);
    EXPECT_EQ(Format("Error %d opening wave input - %s", static_cast<int>(result), ErrorText(result).c_str()),
              "Error 2 opening wave input - No such file or directory (device hw:9,0)");
    PumpFor(QuietRounds);
    EXPECT_EQ(capture.Notifications, 0);
}

TEST_F(CaptureInput, ABadNameUnderTheSystemsOwnConfigurationIsNamedToo)
{
    unsetenv("ALSA_CONFIG_PATH");
    snd_config_update_free_global();
    setenv(InputVariable, "plughw:CARD=NoSuchCardHere", 1);
    TCapture capture;
    const MMRESULT result = capture.Open();
    EXPECT_NE(result, MMSYSERR_NOERROR);
    const std::string text = ErrorText(result);
    const size_t device = text.find(" (device ");
    ASSERT_NE(device, std::string::npos) << text;
    EXPECT_EQ(text.substr(device), " (device plughw:CARD=NoSuchCardHere)");
    PumpFor(QuietRounds);
    EXPECT_EQ(capture.Notifications, 0);
}

TEST_F(CaptureInput, ALongNameIsCutWithTheTextToTheBuffer)
{
    UseReceiverAndDefault();
    const std::string name(2 * ErrorTextBytes, 'x');
    setenv(InputVariable, name.c_str(), 1);
    TCapture capture;
    const MMRESULT result = capture.Open();
    ASSERT_NE(result, MMSYSERR_NOERROR);
    const std::string text = ErrorText(result);
    EXPECT_EQ(text.size(), ErrorTextBytes - 1);
    EXPECT_EQ(text.substr(text.size() - 3), "xxx");
}
