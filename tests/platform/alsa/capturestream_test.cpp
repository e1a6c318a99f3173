// The capture stream's loss rules, each reached by playing the device's
// answers through the stream's call table over a real file-backed PCM: what
// is lost and what goes on after overruns, a suspend, a failed recovery, a
// disconnection; and the wake counter emptied by whichever wait saw it.

#include "platform/alsa/capturestream.h"

#include "support/alsaconfig.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace {

constexpr unsigned Channels = 2;
constexpr unsigned Rate = 44100;
constexpr unsigned long ReadFrames = 441;
constexpr size_t SourceFrames = 44100;

class CaptureStream : public ::testing::Test {
protected:
    void SetUp() override
    {
        alsaconfig::UseCaptureSamples(std::vector<int16_t>(SourceFrames * Channels, 100));
        ASSERT_EQ(TCaptureStream::Open("default", Channels, Rate, Stream), 0);
        ASSERT_EQ(Stream->Start(), 0);
    }

    long ReadOnce() { return Stream->Read(Buffer.data(), ReadFrames); }

    std::unique_ptr<TCaptureStream> Stream;
    std::vector<int16_t> Buffer = std::vector<int16_t>(ReadFrames * Channels);
};

// One read that meets an error, and what the stream makes of it.
struct TReadCase {
    const char* Name;
    long ReadResult;          // what snd_pcm_readi answers
    int RecoverResult;        // what snd_pcm_recover answers
    snd_pcm_state_t Recovered; // the state recovery leaves
    int StartResult;          // what snd_pcm_start answers
    long Expected;            // what Read returns
    int ExpectedStarts;       // snd_pcm_start calls after the recovery
};

const TReadCase ReadCases[] = {
    {"overrun, recovered and started", -EPIPE, 0, SND_PCM_STATE_PREPARED, 0, 0, 1},
    {"suspend, resumed by the driver", -ESTRPIPE, 0, SND_PCM_STATE_RUNNING, -EBADFD, 0, 0},
    {"suspend, prepared afresh", -ESTRPIPE, 0, SND_PCM_STATE_PREPARED, 0, 0, 1},
    {"recovery fails", -EPIPE, -EIO, SND_PCM_STATE_XRUN, 0, -EIO, 0},
    {"restart after recovery fails", -EPIPE, 0, SND_PCM_STATE_PREPARED, -EBADFD, -EBADFD, 1},
    {"any other error", -EIO, 0, SND_PCM_STATE_RUNNING, 0, -EIO, 0},
    {"interrupted", -EINTR, 0, SND_PCM_STATE_RUNNING, 0, 0, 0},
    {"frames", 7, 0, SND_PCM_STATE_RUNNING, 0, 7, 0},
};

TEST_F(CaptureStream, EachErrorIsLostOrRecoveredByItsRule)
{
    for (const TReadCase& c : ReadCases) {
        SCOPED_TRACE(c.Name);
        int starts = 0;
        snd_pcm_state_t state = SND_PCM_STATE_RUNNING;
        TCaptureCalls calls;
        calls.Readi = [&](snd_pcm_t*, void*, snd_pcm_uframes_t) { return c.ReadResult; };
        calls.Recover = [&](snd_pcm_t*, int, int) {
            state = c.Recovered;
            return c.RecoverResult;
        };
        calls.State = [&](snd_pcm_t*) { return state; };
        calls.Start = [&](snd_pcm_t*) {
            ++starts;
            return c.StartResult;
        };
        Stream->SetCalls(calls);
        EXPECT_EQ(ReadOnce(), c.Expected);
        EXPECT_EQ(starts, c.ExpectedStarts);
        // A stream that went on reads real frames again.
        Stream->SetCalls(TCaptureCalls());
        if (c.Expected >= 0) {
            EXPECT_GE(ReadOnce(), 0);
        }
    }
}

TEST_F(CaptureStream, FiveOverrunsWithoutFramesLoseTheStream)
{
    int overrunsLeft = 0;
    TCaptureCalls calls;
    calls.Readi = [&](snd_pcm_t*, void*, snd_pcm_uframes_t) -> snd_pcm_sframes_t {
        if (overrunsLeft == 0)
            return 1;
        --overrunsLeft;
        return -EPIPE;
    };
    calls.Recover = [](snd_pcm_t*, int, int) { return 0; };
    calls.State = [](snd_pcm_t*) { return SND_PCM_STATE_PREPARED; };
    calls.Start = [](snd_pcm_t*) { return 0; };
    Stream->SetCalls(calls);
    // Four in a row, then a frame: the count starts again, however long it goes on.
    for (int round = 0; round < 3; ++round) {
        overrunsLeft = 4;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(ReadOnce(), 0) << "round " << round << ", overrun " << i;
        EXPECT_EQ(ReadOnce(), 1);
    }
    overrunsLeft = 5;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ReadOnce(), 0) << "overrun " << i;
    EXPECT_EQ(ReadOnce(), -EPIPE) << "the fifth overrun without frames";
}

TEST_F(CaptureStream, StartForgetsEarlierOverruns)
{
    TCaptureCalls calls;
    calls.Readi = [](snd_pcm_t*, void*, snd_pcm_uframes_t) -> snd_pcm_sframes_t { return -EPIPE; };
    calls.Recover = [](snd_pcm_t*, int, int) { return 0; };
    calls.State = [](snd_pcm_t*) { return SND_PCM_STATE_PREPARED; };
    calls.Start = [](snd_pcm_t*) { return 0; };
    calls.Prepare = [](snd_pcm_t*) { return 0; };
    Stream->SetCalls(calls);
    for (int i = 0; i < 4; ++i)
        ReadOnce();
    ASSERT_EQ(Stream->Start(), 0);
    EXPECT_EQ(ReadOnce(), 0) << "a fresh start forgets the overruns before it";
}

TEST_F(CaptureStream, DisconnectedStreamIsLost)
{
    TCaptureCalls calls;
    calls.Readi = [](snd_pcm_t*, void*, snd_pcm_uframes_t) -> snd_pcm_sframes_t { return -EAGAIN; };
    calls.Poll = [](pollfd*, nfds_t, int) { return 0; };
    calls.State = [](snd_pcm_t*) { return SND_PCM_STATE_DISCONNECTED; };
    Stream->SetCalls(calls);
    EXPECT_EQ(ReadOnce(), -ENODEV);
}

TEST_F(CaptureStream, FailedPollIsLost)
{
    TCaptureCalls calls;
    calls.Readi = [](snd_pcm_t*, void*, snd_pcm_uframes_t) -> snd_pcm_sframes_t { return -EAGAIN; };
    calls.Poll = [](pollfd*, nfds_t, int) {
        errno = EBADF;
        return -1;
    };
    Stream->SetCalls(calls);
    EXPECT_EQ(ReadOnce(), -EBADF);
}

// The PCM's descriptors read as ready with nothing to read (as PipeWire's
// plugin's do), so Read waits the rest of a period on the wake descriptor
// alone; a Wake during that wait must be used up there, or the next Read
// returns at once, and so on every other read.
TEST_F(CaptureStream, ShortWaitEmptiesTheWakeCounter)
{
    std::vector<bool> wokenAtMainWait;
    int shortWaits = 0;
    TCaptureCalls calls;
    calls.Readi = [](snd_pcm_t*, void*, snd_pcm_uframes_t) -> snd_pcm_sframes_t { return -EAGAIN; };
    calls.State = [](snd_pcm_t*) { return SND_PCM_STATE_RUNNING; };
    calls.AvailUpdate = [](snd_pcm_t*) -> snd_pcm_sframes_t { return 0; };
    calls.PollRevents = [](snd_pcm_t*, pollfd*, unsigned, unsigned short* Events) {
        *Events = 0;
        return 0;
    };
    calls.Poll = [&](pollfd* Fds, nfds_t Count, int Timeout) {
        if (Count > 1) {
            pollfd& wake = Fds[Count - 1];
            ::poll(&wake, 1, 0);
            wokenAtMainWait.push_back(wake.revents & POLLIN);
            for (nfds_t i = 0; i + 1 < Count; ++i)
                Fds[i].revents = POLLIN;
            return static_cast<int>(Count - 1) + (wake.revents ? 1 : 0);
        }
        ++shortWaits;
        Stream->Wake();
        return ::poll(Fds, Count, Timeout);
    };
    Stream->SetCalls(calls);
    EXPECT_EQ(ReadOnce(), 0);
    EXPECT_EQ(ReadOnce(), 0);
    EXPECT_EQ(wokenAtMainWait, (std::vector<bool>{false, false})) << "the wake was used up by the wait that saw it";
    EXPECT_EQ(shortWaits, 2);
}

} // namespace
