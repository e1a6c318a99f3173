#include "platform/alsa/capturestream.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

// Enough slack in the device for the reader to be late by a few blocks.
constexpr unsigned DeviceBufferMicroseconds = 500000;
// Readers take 100 ms blocks. A device period of exactly one block (4410
// frames at 44.1 kHz) wakes the reader, and a sound server and its plugin,
// once per block and no more, and a block ends on a period's end. A device
// that has no period of that size gets short ones instead, so that blocks
// arrive no more unevenly than one short period (a long period that does not
// divide the block would deliver blocks one or two long periods apart).
constexpr unsigned PeriodsPerSecond = 10;
constexpr unsigned ShortPeriodMicroseconds = 25000;
constexpr unsigned BytesPerSample = 2; // signed 16-bit
// Read looks at the stream at least this often even when it reports nothing
// (a stream that vanished may not say so).
constexpr int PollTimeoutMilliseconds = 200;
// A read returns nothing before a period is there, so a descriptor that is
// ready without input is looked at again when the rest of the period should
// have come, but not sooner than this (nor later than the poll timeout).
// PipeWire's plugin keeps its descriptor ready all the time, PulseAudio's
// while its stream starts.
constexpr int ShortestWaitMilliseconds = 5;
// The wait when the stream cannot tell what it holds.
constexpr int FalseReadyWaitMilliseconds = ShortPeriodMicroseconds / 1000;
constexpr unsigned long MillisecondsPerSecond = 1000;
// A working stream delivers frames after recovering from an overrun; this many
// overruns in a row without a frame between them mean that it never will.
constexpr int OverrunsForLoss = 5;

struct THwParamsDeleter {
    void operator()(snd_pcm_hw_params_t* Params) const { snd_pcm_hw_params_free(Params); }
};

} // namespace

int TCaptureStream::Open(const char* PcmName, unsigned Channels, unsigned Rate, std::unique_ptr<TCaptureStream>& Stream)
{
    snd_pcm_t* pcm = nullptr;
    // Non-blocking, so that a busy device is an answer rather than a wait.
    int err = snd_pcm_open(&pcm, PcmName, SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
    if (err < 0)
        return err;
    err = Configure(pcm, Channels, Rate);
    if (err < 0) {
        snd_pcm_close(pcm);
        return err;
    }
    snd_pcm_uframes_t bufferFrames = 0;
    snd_pcm_uframes_t periodFrames = 0;
    err = snd_pcm_get_params(pcm, &bufferFrames, &periodFrames);
    if (err < 0) {
        snd_pcm_close(pcm);
        return err;
    }
    std::unique_ptr<TCaptureStream> stream(new TCaptureStream(pcm, Channels * BytesPerSample));
    stream->FRate = Rate;
    stream->FPeriodFrames = periodFrames;
    err = stream->PreparePolling();
    if (err < 0)
        return err;
    Stream = std::move(stream);
    return 0;
}

TCaptureStream::TCaptureStream(snd_pcm_t* Pcm, unsigned FrameBytes) : FPcm(Pcm), FFrameBytes(FrameBytes) {}

TCaptureStream::~TCaptureStream()
{
    if (FWakeFd >= 0)
        close(FWakeFd);
    snd_pcm_close(FPcm);
}

int TCaptureStream::Configure(snd_pcm_t* Pcm, unsigned Channels, unsigned Rate)
{
    snd_pcm_hw_params_t* raw = nullptr;
    int err = snd_pcm_hw_params_malloc(&raw);
    if (err < 0)
        return err;
    std::unique_ptr<snd_pcm_hw_params_t, THwParamsDeleter> params(raw);
    unsigned bufferTime = DeviceBufferMicroseconds;
    if ((err = snd_pcm_hw_params_any(Pcm, raw)) < 0 ||
        (err = snd_pcm_hw_params_set_access(Pcm, raw, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0 ||
        (err = snd_pcm_hw_params_set_format(Pcm, raw, SND_PCM_FORMAT_S16_LE)) < 0 ||
        (err = snd_pcm_hw_params_set_channels(Pcm, raw, Channels)) < 0 ||
        (err = snd_pcm_hw_params_set_rate(Pcm, raw, Rate, 0)) < 0 ||
        (err = snd_pcm_hw_params_set_buffer_time_near(Pcm, raw, &bufferTime, nullptr)) < 0 ||
        (err = SetPeriod(Pcm, raw, Rate)) < 0)
        return err;
    return snd_pcm_hw_params(Pcm, raw);
}

int TCaptureStream::SetPeriod(snd_pcm_t* Pcm, snd_pcm_hw_params_t* Params, unsigned Rate)
{
    const snd_pcm_uframes_t block = Rate / PeriodsPerSecond;
    if (Rate % PeriodsPerSecond == 0 && snd_pcm_hw_params_test_period_size(Pcm, Params, block, 0) == 0)
        return snd_pcm_hw_params_set_period_size(Pcm, Params, block, 0);
    unsigned periodTime = ShortPeriodMicroseconds;
    return snd_pcm_hw_params_set_period_time_near(Pcm, Params, &periodTime, nullptr);
}

int TCaptureStream::PreparePolling()
{
    FWakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (FWakeFd < 0)
        return -errno;
    const int count = snd_pcm_poll_descriptors_count(FPcm);
    if (count < 0)
        return count;
    FPollFds.resize(static_cast<size_t>(count) + 1);
    const int filled = snd_pcm_poll_descriptors(FPcm, FPollFds.data(), static_cast<unsigned>(count));
    if (filled < 0)
        return filled;
    FPollFds.resize(static_cast<size_t>(filled) + 1);
    FPollFds.back() = pollfd{FWakeFd, POLLIN, 0};
    return 0;
}

int TCaptureStream::Start()
{
    FOverrunsWithoutInput = 0;
    const int err = FCalls.Prepare(FPcm);
    if (err < 0)
        return err;
    return FCalls.Start(FPcm);
}

void TCaptureStream::Stop()
{
    FCalls.Drop(FPcm);
}

void TCaptureStream::Wake()
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(FWakeFd, &one, sizeof one);
}

const char* TCaptureStream::ErrorText(int Error)
{
    return snd_strerror(Error);
}

long TCaptureStream::Read(void* Target, unsigned long Frames)
{
    const snd_pcm_sframes_t got = FCalls.Readi(FPcm, Target, Frames);
    if (got > 0) {
        FOverrunsWithoutInput = 0;
        return static_cast<long>(got);
    }
    if (got == 0 || got == -EAGAIN)
        return WaitForInput();
    if (got == -EINTR)
        return 0;
    if (got == -EPIPE || got == -ESTRPIPE)
        return RecoverFromOverrun(static_cast<long>(got));
    return static_cast<long>(got);
}

long TCaptureStream::RecoverFromOverrun(long Error)
{
    // The samples are lost and capture goes on, unless recovering brings
    // nothing but the next overrun.
    if (++FOverrunsWithoutInput >= OverrunsForLoss)
        return Error;
    constexpr int Silently = 1;
    int err = FCalls.Recover(FPcm, static_cast<int>(Error), Silently);
    // Recovering from an overrun leaves the stream prepared; from a suspend,
    // a driver that can resume leaves it running, and starting it again
    // would fail.
    if (err == 0 && FCalls.State(FPcm) == SND_PCM_STATE_PREPARED)
        err = FCalls.Start(FPcm);
    return err < 0 ? err : 0;
}

long TCaptureStream::WaitForInput()
{
    const int ready = FCalls.Poll(FPollFds.data(), FPollFds.size(), PollTimeoutMilliseconds);
    if (ready < 0)
        return errno == EINTR ? 0 : -errno;
    // A card that is unplugged says so only through its state.
    if (FCalls.State(FPcm) == SND_PCM_STATE_DISCONNECTED)
        return -ENODEV;
    if (DrainWake(FPollFds.back()))
        return 0;
    if (ready > 0 && !InputSignalled()) {
        // Polling again at once would spin and starve the plugin's own thread.
        pollfd wake{FWakeFd, POLLIN, 0};
        if (FCalls.Poll(&wake, 1, RestOfPeriodMilliseconds()) > 0)
            DrainWake(wake);
    }
    return 0;
}

int TCaptureStream::RestOfPeriodMilliseconds()
{
    const snd_pcm_sframes_t available = FCalls.AvailUpdate(FPcm);
    if (available < 0)
        return FalseReadyWaitMilliseconds;
    const auto have = static_cast<snd_pcm_uframes_t>(available);
    const snd_pcm_uframes_t missing = have < FPeriodFrames ? FPeriodFrames - have : 0;
    // Rounded up: a look a little early would find nothing again.
    const unsigned long milliseconds = (missing * MillisecondsPerSecond + FRate - 1) / FRate;
    return static_cast<int>(std::clamp<unsigned long>(milliseconds, ShortestWaitMilliseconds, PollTimeoutMilliseconds));
}

bool TCaptureStream::DrainWake(pollfd& Wake)
{
    if (!(Wake.revents & POLLIN))
        return false;
    Wake.revents = 0;
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t drained = read(FWakeFd, &count, sizeof count);
    return true;
}

bool TCaptureStream::InputSignalled()
{
    // A plugin's descriptor may read as ready with nothing to read: PulseAudio's
    // does while its stream starts. The plugin says what the poll means.
    unsigned short events = 0;
    const auto count = static_cast<unsigned>(FPollFds.size() - 1);
    if (FCalls.PollRevents(FPcm, FPollFds.data(), count, &events) < 0)
        return true; // the next read reports the failure
    return events != 0;
}
