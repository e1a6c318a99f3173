#include "platform/alsa/waveindevice.h"

#include <cerrno>
#include <pthread.h>

namespace {

constexpr uint16_t PcmFormatTag = 1;
constexpr uint16_t SupportedBitsPerSample = 16;
constexpr unsigned BitsPerByte = 8;
constexpr const char* CaptureThreadName = "wave-in";

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
    std::unique_ptr<TCaptureStream> stream;
    const int err = TCaptureStream::Open(PcmName, Format.nChannels, Format.nSamplesPerSec, stream);
    if (err < 0)
        return static_cast<MMRESULT>(-err);
    std::unique_ptr<TWaveInDevice> device(new TWaveInDevice(std::move(stream), Window, Handle));
    device->FThread = std::thread(&TWaveInDevice::CaptureLoop, device.get());
    // A name of its own tells it from the sound server plugin's threads in top -H.
    pthread_setname_np(device->FThread.native_handle(), CaptureThreadName);
    Device = std::move(device);
    return MMSYSERR_NOERROR;
}

TWaveInDevice::TWaveInDevice(std::unique_ptr<TCaptureStream> Stream, HWND Window, HWAVEIN Handle)
    : FStream(std::move(Stream)), FWindow(Window), FHandle(Handle), FFrameBytes(FStream->FrameBytes())
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
    FStream->Wake();
    if (Wait)
        FChanged.wait(Lock, [&] { return FAcknowledged >= request; });
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
        const long frames = FStream->Read(target, room);
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
        FStream->Stop();
        FStreamRunning = false;
    }
    if (run && !FStreamRunning && !FLostError) {
        // Start reports a failure itself: nothing is posted.
        const int err = FStream->Start();
        FLostError = static_cast<MMRESULT>(err < 0 ? -err : 0);
        FStreamRunning = err >= 0;
    }
    FAcknowledged = FRequested;
    FChanged.notify_all();
}
