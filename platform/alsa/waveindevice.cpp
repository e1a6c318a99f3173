#include "platform/alsa/waveindevice.h"

#include <cerrno>
#include <memory>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {

constexpr uint16_t PcmFormatTag = 1;
constexpr uint16_t SupportedBitsPerSample = 16;
constexpr unsigned BitsPerByte = 8;
// Enough slack in the device for the program to be late by a few blocks.
constexpr unsigned DeviceBufferMicroseconds = 500000;
constexpr unsigned DevicePeriodMicroseconds = 25000;
// The capture thread looks at the stream at least this often even when it
// reports nothing (a stream that vanished may not say so).
constexpr int PollTimeoutMilliseconds = 200;
// A read returns nothing before a period is there, so a descriptor that is
// ready without input is looked at again after one period.
constexpr int FalseReadyWaitMilliseconds = DevicePeriodMicroseconds / 1000;
// A working stream delivers frames after recovering from an overrun; this many
// overruns in a row without a frame between them mean that it never will.
constexpr int OverrunsForLoss = 5;

struct THwParamsDeleter {
    void operator()(snd_pcm_hw_params_t* Params) const { snd_pcm_hw_params_free(Params); }
};

bool IsSupportedFormat(const WAVEFORMATEX& Format)
{
    return Format.wFormatTag == PcmFormatTag && Format.wBitsPerSample == SupportedBitsPerSample &&
           Format.nChannels > 0 && Format.nSamplesPerSec > 0 &&
           Format.nBlockAlign == Format.nChannels * SupportedBitsPerSample / BitsPerByte;
}

} // namespace

MMRESULT TWaveInDevice::Open(const char* PcmName, const WAVEFORMATEX& Format, HWND Window, HWAVEIN Handle,
                             std::unique_ptr<TWaveInDevice>& Device)
{
    if (!IsSupportedFormat(Format))
        return EINVAL;
    snd_pcm_t* pcm = nullptr;
    // Non-blocking, so that a busy device is an answer rather than a wait.
    int err = snd_pcm_open(&pcm, PcmName, SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
    if (err < 0)
        return static_cast<MMRESULT>(-err);
    err = Configure(pcm, Format);
    if (err < 0) {
        snd_pcm_close(pcm);
        return static_cast<MMRESULT>(-err);
    }
    std::unique_ptr<TWaveInDevice> device(new TWaveInDevice(pcm, Window, Handle, Format.nBlockAlign));
    err = device->PreparePolling();
    if (err < 0)
        return static_cast<MMRESULT>(-err);
    device->FThread = std::thread(&TWaveInDevice::CaptureLoop, device.get());
    Device = std::move(device);
    return MMSYSERR_NOERROR;
}

TWaveInDevice::TWaveInDevice(snd_pcm_t* Pcm, HWND Window, HWAVEIN Handle, unsigned FrameBytes)
    : FPcm(Pcm), FWindow(Window), FHandle(Handle), FFrameBytes(FrameBytes)
{
}

TWaveInDevice::~TWaveInDevice()
{
    if (FThread.joinable()) {
        std::unique_lock<std::mutex> lock(FLock);
        FQuit = true;
        Request(lock, false);
        lock.unlock();
        FThread.join();
    }
    if (FWakeFd >= 0)
        close(FWakeFd);
    snd_pcm_close(FPcm);
}

int TWaveInDevice::Configure(snd_pcm_t* Pcm, const WAVEFORMATEX& Format)
{
    snd_pcm_hw_params_t* raw = nullptr;
    int err = snd_pcm_hw_params_malloc(&raw);
    if (err < 0)
        return err;
    std::unique_ptr<snd_pcm_hw_params_t, THwParamsDeleter> params(raw);
    unsigned bufferTime = DeviceBufferMicroseconds;
    unsigned periodTime = DevicePeriodMicroseconds;
    if ((err = snd_pcm_hw_params_any(Pcm, raw)) < 0 ||
        (err = snd_pcm_hw_params_set_access(Pcm, raw, SND_PCM_ACCESS_RW_INTERLEAVED)) < 0 ||
        (err = snd_pcm_hw_params_set_format(Pcm, raw, SND_PCM_FORMAT_S16_LE)) < 0 ||
        (err = snd_pcm_hw_params_set_channels(Pcm, raw, Format.nChannels)) < 0 ||
        (err = snd_pcm_hw_params_set_rate(Pcm, raw, Format.nSamplesPerSec, 0)) < 0 ||
        (err = snd_pcm_hw_params_set_buffer_time_near(Pcm, raw, &bufferTime, nullptr)) < 0 ||
        (err = snd_pcm_hw_params_set_period_time_near(Pcm, raw, &periodTime, nullptr)) < 0)
        return err;
    return snd_pcm_hw_params(Pcm, raw);
}

int TWaveInDevice::PreparePolling()
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

MMRESULT TWaveInDevice::Prepare(WAVEHDR* Header)
{
    std::lock_guard<std::mutex> lock(FLock);
    Header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT TWaveInDevice::Unprepare(WAVEHDR* Header)
{
    std::lock_guard<std::mutex> lock(FLock);
    if (Header->dwFlags & WHDR_INQUEUE)
        return EBUSY;
    Header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT TWaveInDevice::AddBuffer(WAVEHDR* Header)
{
    std::lock_guard<std::mutex> lock(FLock);
    if (FLostError)
        return FLostError;
    if (!(Header->dwFlags & WHDR_PREPARED))
        return EINVAL;
    if (Header->dwFlags & WHDR_INQUEUE)
        return EBUSY;
    Header->dwBytesRecorded = 0;
    Header->dwFlags = (Header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    FQueue.push_back(Header);
    FChanged.notify_all();
    return MMSYSERR_NOERROR;
}

MMRESULT TWaveInDevice::Start()
{
    std::unique_lock<std::mutex> lock(FLock);
    FWantRunning = true;
    Request(lock, true);
    return FLostError;
}

void TWaveInDevice::Stop()
{
    std::unique_lock<std::mutex> lock(FLock);
    FWantRunning = false;
    Request(lock, true);
    if (!FQueue.empty() && FFirstFilled > 0)
        ReturnFirst();
}

void TWaveInDevice::Reset()
{
    std::unique_lock<std::mutex> lock(FLock);
    FWantRunning = false;
    Request(lock, true);
    ReturnAll();
}

void TWaveInDevice::Request(std::unique_lock<std::mutex>& Lock, bool Wait)
{
    const uint64_t request = ++FRequested;
    FChanged.notify_all();
    Wake();
    if (Wait)
        FChanged.wait(Lock, [&] { return FAcknowledged >= request; });
}

void TWaveInDevice::Wake()
{
    const uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = write(FWakeFd, &one, sizeof one);
}

void TWaveInDevice::ReturnFirst()
{
    WAVEHDR* header = FQueue.front();
    FQueue.pop_front();
    header->dwBytesRecorded = FFirstFilled;
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    FFirstFilled = 0;
    PostMessage(FWindow, MM_WIM_DATA, reinterpret_cast<WPARAM>(FHandle), reinterpret_cast<LPARAM>(header));
}

void TWaveInDevice::ReturnAll()
{
    while (!FQueue.empty())
        ReturnFirst();
}

void TWaveInDevice::Lose(MMRESULT Error)
{
    // Not even dropped: a plugin whose server has gone may answer anything
    // with more work. The stream is only closed, with the device.
    FLostError = Error;
    FStreamRunning = false;
    PostMessage(FWindow, MM_WIM_LOST, reinterpret_cast<WPARAM>(FHandle), static_cast<LPARAM>(Error));
}

void TWaveInDevice::CaptureLoop()
{
    std::unique_lock<std::mutex> lock(FLock);
    for (;;) {
        ApplyRequests();
        if (FQuit)
            return;
        if (!ReadyToCapture()) {
            FChanged.wait(lock, [&] { return FRequested != FAcknowledged || ReadyToCapture(); });
            continue;
        }
        WAVEHDR* header = FQueue.front();
        const unsigned long room = (header->dwBufferLength - FFirstFilled) / FFrameBytes;
        if (room == 0) {
            ReturnFirst();
            continue;
        }
        char* target = header->lpData + FFirstFilled;
        // Stop and Reset wait for the next ApplyRequests, so the header stays
        // first in the queue while the lock is released.
        lock.unlock();
        const long frames = CaptureInto(target, room);
        lock.lock();
        if (frames < 0) {
            Lose(static_cast<MMRESULT>(-frames));
            continue;
        }
        FFirstFilled += static_cast<uint32_t>(frames) * FFrameBytes;
        if (FFirstFilled + FFrameBytes > header->dwBufferLength)
            ReturnFirst();
    }
}

bool TWaveInDevice::ReadyToCapture() const
{
    return FStreamRunning && !FQueue.empty();
}

void TWaveInDevice::ApplyRequests()
{
    if (FAcknowledged == FRequested)
        return;
    const bool run = FWantRunning && !FQuit;
    if (!run && FStreamRunning) {
        snd_pcm_drop(FPcm);
        FStreamRunning = false;
    }
    if (run && !FStreamRunning && !FLostError) {
        // Start reports a failure itself: nothing is posted.
        const int err = StartStream();
        FLostError = static_cast<MMRESULT>(err < 0 ? -err : 0);
        FStreamRunning = err >= 0;
        FOverrunsWithoutInput = 0;
    }
    FAcknowledged = FRequested;
    FChanged.notify_all();
}

int TWaveInDevice::StartStream()
{
    const int err = snd_pcm_prepare(FPcm);
    if (err < 0)
        return err;
    return snd_pcm_start(FPcm);
}

long TWaveInDevice::CaptureInto(char* Target, unsigned long Frames)
{
    const snd_pcm_sframes_t got = snd_pcm_readi(FPcm, Target, Frames);
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

long TWaveInDevice::RecoverFromOverrun(long Error)
{
    // The samples are lost and capture goes on, unless recovering brings
    // nothing but the next overrun.
    if (++FOverrunsWithoutInput >= OverrunsForLoss)
        return Error;
    constexpr int Silently = 1;
    int err = snd_pcm_recover(FPcm, static_cast<int>(Error), Silently);
    if (err == 0)
        err = snd_pcm_start(FPcm);
    return err < 0 ? err : 0;
}

long TWaveInDevice::WaitForInput()
{
    const int ready = poll(FPollFds.data(), FPollFds.size(), PollTimeoutMilliseconds);
    if (ready < 0)
        return errno == EINTR ? 0 : -errno;
    // A card that is unplugged says so only through its state.
    if (snd_pcm_state(FPcm) == SND_PCM_STATE_DISCONNECTED)
        return -ENODEV;
    if (DrainWake())
        return 0;
    if (ready > 0 && !InputSignalled()) {
        // Polling again at once would spin and starve the plugin's own thread.
        pollfd wake{FWakeFd, POLLIN, 0};
        if (poll(&wake, 1, FalseReadyWaitMilliseconds) > 0)
            DrainWake();
    }
    return 0;
}

bool TWaveInDevice::DrainWake()
{
    pollfd& wake = FPollFds.back();
    if (!(wake.revents & POLLIN))
        return false;
    wake.revents = 0;
    uint64_t count = 0;
    [[maybe_unused]] const ssize_t drained = read(FWakeFd, &count, sizeof count);
    return true;
}

bool TWaveInDevice::InputSignalled()
{
    // A plugin's descriptor may read as ready with nothing to read: PulseAudio's
    // does while its stream starts. The plugin says what the poll means.
    unsigned short events = 0;
    const auto count = static_cast<unsigned>(FPollFds.size() - 1);
    if (snd_pcm_poll_descriptors_revents(FPcm, FPollFds.data(), count, &events) < 0)
        return true; // the next read reports the failure
    return events != 0;
}
