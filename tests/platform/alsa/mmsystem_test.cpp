// The wave-input calls over real ALSA: "default" is a file device whose
// capture data comes from samples the test wrote.

#include "platform/alsa/mmsystem.h"
#include "platform/kernel/messages.h"
#include "support/alsaconfig.h"
#include "support/messagepump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <string>
#include <vector>

using messagepump::PumpFor;
using messagepump::PumpUntil;

namespace {

constexpr WAVEFORMATEX StereoCd{1, 2, 44100, 176400, 4, 16, 0};
constexpr unsigned FrameBytes = 4;
constexpr unsigned BlockFrames = 441;
constexpr unsigned BlockBytes = BlockFrames * FrameBytes;
constexpr int QuietRounds = 50;

// A ramp of distinct samples, Frames stereo frames long.
std::vector<int16_t> Ramp(size_t Frames)
{
    std::vector<int16_t> values(Frames * 2);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = static_cast<int16_t>(i * 7 + 3);
    return values;
}

// A hidden window that records every notification, and two buffers that it
// puts back into the queue while Requeue is set.
class TListener {
public:
    TListener()
    {
        Window = AllocateHWnd([this](TMessage& M) { Received(M); });
        for (int i = 0; i < 2; ++i) {
            Buffers[i].assign(BlockBytes, '\0');
            Headers[i].lpData = Buffers[i].data();
            Headers[i].dwBufferLength = BlockBytes;
        }
    }
    ~TListener() { DeallocateHWnd(Window); }

    void Received(TMessage& M)
    {
        Messages.push_back(M.Msg);
        if (M.Msg != MM_WIM_DATA)
            return;
        auto* header = reinterpret_cast<WAVEHDR*>(M.LParam);
        ++Returns[header];
        Sizes.push_back(header->dwBytesRecorded);
        Captured.insert(Captured.end(), reinterpret_cast<int16_t*>(header->lpData),
                        reinterpret_cast<int16_t*>(header->lpData + header->dwBytesRecorded));
        if (Requeue && TotalAdds() < MaxAdds)
            AddBuffer(header);
    }

    void AddBuffer(WAVEHDR* Header)
    {
        ++Adds[Header];
        EXPECT_EQ(waveInAddBuffer(Device, Header, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    }

    void QueueBoth()
    {
        for (auto& h : Headers) {
            EXPECT_EQ(waveInPrepareHeader(Device, &h, sizeof(WAVEHDR)), MMSYSERR_NOERROR);
            AddBuffer(&h);
        }
    }

    int TotalAdds() const
    {
        int total = 0;
        for (const auto& [header, adds] : Adds)
            total += adds;
        return total;
    }

    int Count(unsigned Msg) const { return static_cast<int>(std::count(Messages.begin(), Messages.end(), Msg)); }

    HWND Window = nullptr;
    HWAVEIN Device = nullptr;
    bool Requeue = true;
    int MaxAdds = 1 << 30; // buffers handed to the device in all
    std::vector<char> Buffers[2];
    WAVEHDR Headers[2];
    std::vector<unsigned> Messages;
    std::vector<uint32_t> Sizes;
    std::vector<int16_t> Captured;
    std::map<WAVEHDR*, int> Adds, Returns;
};

MMRESULT Open(TListener& L, const WAVEFORMATEX& Format = StereoCd)
{
    return waveInOpen(&L.Device, WAVE_MAPPER, &Format, L.Window, 0, CALLBACK_WINDOW);
}

} // namespace

TEST(WaveInAlsa, CapturesTheDeviceSamplesInOrderAndReturnsEveryBufferOnce)
{
    constexpr int WantedBlocks = 20;
    // The test device is as fast as the program; asking for fewer blocks than
    // the source holds keeps every captured sample defined.
    const std::vector<int16_t> source = Ramp(BlockFrames * (WantedBlocks + 2));
    alsaconfig::UseCaptureSamples(source);
    TListener l;
    l.MaxAdds = WantedBlocks;
    ASSERT_EQ(Open(l), MMSYSERR_NOERROR);
    ASSERT_NE(l.Device, nullptr);
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_OPEN) == 1; }));
    l.QueueBoth();
    EXPECT_EQ(waveInStart(l.Device), MMSYSERR_NOERROR);
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_DATA) == WantedBlocks; }));

    l.Requeue = false;
    waveInStop(l.Device);
    waveInReset(l.Device);
    EXPECT_EQ(waveInClose(l.Device), MMSYSERR_NOERROR);
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_CLOSE) == 1; }));
    PumpFor(QuietRounds);

    EXPECT_EQ(l.Count(MM_WIM_OPEN), 1);
    EXPECT_EQ(l.Count(MM_WIM_CLOSE), 1);
    EXPECT_EQ(l.Messages.back(), MM_WIM_CLOSE);
    for (auto& h : l.Headers) {
        EXPECT_EQ(l.Returns[&h], l.Adds[&h]);
        EXPECT_EQ(h.dwFlags & WHDR_INQUEUE, 0u);
        EXPECT_NE(h.dwFlags & WHDR_DONE, 0u);
    }
    EXPECT_EQ(l.Sizes, std::vector<uint32_t>(WantedBlocks, BlockBytes));
    const std::vector<int16_t> expected(source.begin(), source.begin() + WantedBlocks * BlockFrames * 2);
    EXPECT_EQ(l.Captured, expected);
}

TEST(WaveInAlsa, NothingIsCapturedBeforeStartAndResetReturnsEveryQueuedBuffer)
{
    alsaconfig::UseCaptureSamples(Ramp(BlockFrames * 8));
    TListener l;
    ASSERT_EQ(Open(l), MMSYSERR_NOERROR);
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_OPEN) == 1; }));
    l.Requeue = false;
    l.QueueBoth();
    PumpFor(QuietRounds);
    EXPECT_EQ(l.Count(MM_WIM_DATA), 0);
    // A queued header cannot be unprepared.
    EXPECT_NE(waveInUnprepareHeader(l.Device, &l.Headers[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);

    waveInReset(l.Device);
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_DATA) == 2; }));
    EXPECT_EQ(l.Sizes, (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(waveInUnprepareHeader(l.Device, &l.Headers[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(l.Headers[0].dwFlags & WHDR_PREPARED, 0u);
    waveInClose(l.Device);
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_CLOSE) == 1; }));
}

TEST(WaveInAlsa, CloseReturnsQueuedBuffersBeforeTheCloseNotification)
{
    alsaconfig::UseCaptureSamples(Ramp(BlockFrames * 8));
    TListener l;
    ASSERT_EQ(Open(l), MMSYSERR_NOERROR);
    l.Requeue = false;
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_OPEN) == 1; }));
    l.QueueBoth();
    waveInClose(l.Device);
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_CLOSE) == 1; }));
    EXPECT_EQ(l.Messages, (std::vector<unsigned>{MM_WIM_OPEN, MM_WIM_DATA, MM_WIM_DATA, MM_WIM_CLOSE}));
}

TEST(WaveInAlsa, StartAfterStopDeliversAgain)
{
    alsaconfig::UseCaptureSamples(Ramp(BlockFrames * 40));
    TListener l;
    ASSERT_EQ(Open(l), MMSYSERR_NOERROR);
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_OPEN) == 1; }));
    l.QueueBoth();
    waveInStart(l.Device);
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_DATA) >= 3; }));
    waveInStop(l.Device);
    PumpFor(QuietRounds);
    const int afterStop = l.Count(MM_WIM_DATA);
    PumpFor(QuietRounds);
    EXPECT_EQ(l.Count(MM_WIM_DATA), afterStop);
    waveInStart(l.Device);
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_DATA) >= afterStop + 3; }));
    l.Requeue = false;
    waveInClose(l.Device);
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_CLOSE) == 1; }));
    for (auto& h : l.Headers)
        EXPECT_EQ(l.Returns[&h], l.Adds[&h]);
}

TEST(WaveInAlsa, AMissingDeviceIsAnErrorWithItsTextAndNoNotification)
{
    alsaconfig::UseNoDefault();
    TListener l;
    const auto before = reinterpret_cast<HWAVEIN>(&l); // any recognisable value
    l.Device = before;
    const MMRESULT result = Open(l);
    EXPECT_EQ(result, static_cast<MMRESULT>(ENOENT));
    EXPECT_EQ(l.Device, before);
    char text[101];
    EXPECT_EQ(waveInGetErrorText(result, text, sizeof text), MMSYSERR_NOERROR);
    EXPECT_STREQ(text, "No such file or directory (device default)");
    PumpFor(QuietRounds);
    EXPECT_TRUE(l.Messages.empty());
}

TEST(WaveInAlsa, AFormatOtherThan16BitPcmIsRefused)
{
    alsaconfig::UseCaptureSamples(Ramp(BlockFrames));
    TListener l;
    constexpr WAVEFORMATEX EightBit{1, 2, 44100, 88200, 2, 8, 0};
    constexpr WAVEFORMATEX NotPcm{3, 2, 44100, 352800, 8, 32, 0};
    EXPECT_EQ(Open(l, EightBit), static_cast<MMRESULT>(EINVAL));
    EXPECT_EQ(Open(l, NotPcm), static_cast<MMRESULT>(EINVAL));
    EXPECT_EQ(l.Device, nullptr);
    PumpFor(QuietRounds);
    EXPECT_TRUE(l.Messages.empty());
}

TEST(WaveInAlsa, CallsWithAClosedHandleAreRefused)
{
    alsaconfig::UseCaptureSamples(Ramp(BlockFrames));
    TListener l;
    ASSERT_EQ(Open(l), MMSYSERR_NOERROR);
    const HWAVEIN closed = l.Device;
    waveInClose(closed);
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_CLOSE) == 1; }));
    EXPECT_NE(waveInPrepareHeader(closed, &l.Headers[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_NE(waveInAddBuffer(closed, &l.Headers[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_NE(waveInUnprepareHeader(closed, &l.Headers[0], sizeof(WAVEHDR)), MMSYSERR_NOERROR);
    EXPECT_NE(waveInStart(closed), MMSYSERR_NOERROR);
    EXPECT_NE(waveInStop(closed), MMSYSERR_NOERROR);
    EXPECT_NE(waveInReset(closed), MMSYSERR_NOERROR);
    EXPECT_NE(waveInClose(closed), MMSYSERR_NOERROR);
    PumpFor(QuietRounds);
    EXPECT_EQ(l.Count(MM_WIM_CLOSE), 1);
}

TEST(WaveInAlsa, ErrorTextIsCutToTheBuffer)
{
    char text[5];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(waveInGetErrorText(ENOENT, text, sizeof text), MMSYSERR_NOERROR);
    EXPECT_STREQ(text, "No s");
    EXPECT_NE(waveInGetErrorText(ENOENT, text, 0), MMSYSERR_NOERROR);
}

TEST(WaveInAlsa, HandlesAreNeverReused)
{
    alsaconfig::UseCaptureSamples(Ramp(BlockFrames));
    TListener l;
    ASSERT_EQ(Open(l), MMSYSERR_NOERROR);
    const HWAVEIN first = l.Device;
    waveInClose(first);
    ASSERT_EQ(Open(l), MMSYSERR_NOERROR);
    EXPECT_NE(l.Device, first);
    waveInClose(l.Device);
    ASSERT_TRUE(PumpUntil([&] { return l.Count(MM_WIM_CLOSE) == 2; }));
    EXPECT_EQ(l.Messages, (std::vector<unsigned>{MM_WIM_OPEN, MM_WIM_CLOSE, MM_WIM_OPEN, MM_WIM_CLOSE}));
}
