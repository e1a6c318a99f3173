// The wave-input calls over ALSA. Handles are numbers checked against the
// devices that are open, so a call with a closed handle is refused, never a crash.

#include "platform/alsa/mmsystem.h"
#include "platform/alsa/captureinput.h"
#include "platform/alsa/waveindevice.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <map>
#include <memory>
#include <string>

namespace {

struct TOpenDevices {
    std::mutex Lock;
    std::map<HWAVEIN, std::unique_ptr<TWaveInDevice>> Devices;
    uintptr_t LastHandle = 0; // handles count up from 1 and are never reused
    std::string TriedPcm;     // the PCM of the latest open, named in error texts
};

TOpenDevices& OpenDevices()
{
    static TOpenDevices devices;
    return devices;
}

HWAVEIN NewHandle()
{
    std::lock_guard<std::mutex> guard(OpenDevices().Lock);
    return reinterpret_cast<HWAVEIN>(++OpenDevices().LastHandle);
}

// The device behind Handle, or nullptr for a handle that is not open.
TWaveInDevice* Find(HWAVEIN Handle)
{
    std::lock_guard<std::mutex> guard(OpenDevices().Lock);
    const auto found = OpenDevices().Devices.find(Handle);
    return found == OpenDevices().Devices.end() ? nullptr : found->second.get();
}

bool IsHeaderUsable(const WAVEHDR* Header, uint32_t HeaderSize)
{
    return Header && HeaderSize == sizeof(WAVEHDR);
}

} // namespace

MMRESULT waveInOpen(HWAVEIN* Handle, unsigned DeviceId, const WAVEFORMATEX* Format, HWND Callback,
                    uintptr_t, uint32_t Flags)
{
    if (!Handle || !Format || Flags != CALLBACK_WINDOW || !Callback)
        return EINVAL;
    if (DeviceId != WAVE_MAPPER && DeviceId != 0)
        return ENODEV;
    const HWAVEIN handle = NewHandle();
    const std::string pcm = CaptureInputName();
    {
        std::lock_guard<std::mutex> guard(OpenDevices().Lock);
        OpenDevices().TriedPcm = pcm;
    }
    std::unique_ptr<TWaveInDevice> device;
    const MMRESULT result = TWaveInDevice::Open(pcm.c_str(), *Format, Callback, handle, device);
    if (result != MMSYSERR_NOERROR)
        return result;
    {
        std::lock_guard<std::mutex> guard(OpenDevices().Lock);
        OpenDevices().Devices.emplace(handle, std::move(device));
    }
    *Handle = handle;
    PostMessage(Callback, MM_WIM_OPEN, reinterpret_cast<WPARAM>(handle), 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveInPrepareHeader(HWAVEIN Handle, WAVEHDR* Header, uint32_t HeaderSize)
{
    TWaveInDevice* device = Find(Handle);
    if (!device)
        return EBADF;
    return IsHeaderUsable(Header, HeaderSize) ? device->Prepare(Header) : EINVAL;
}

MMRESULT waveInUnprepareHeader(HWAVEIN Handle, WAVEHDR* Header, uint32_t HeaderSize)
{
    TWaveInDevice* device = Find(Handle);
    if (!device)
        return EBADF;
    return IsHeaderUsable(Header, HeaderSize) ? device->Unprepare(Header) : EINVAL;
}

MMRESULT waveInAddBuffer(HWAVEIN Handle, WAVEHDR* Header, uint32_t HeaderSize)
{
    TWaveInDevice* device = Find(Handle);
    if (!device)
        return EBADF;
    return IsHeaderUsable(Header, HeaderSize) ? device->AddBuffer(Header) : EINVAL;
}

MMRESULT waveInStart(HWAVEIN Handle)
{
    TWaveInDevice* device = Find(Handle);
    if (!device)
        return EBADF;
    return device->Start();
}

MMRESULT waveInStop(HWAVEIN Handle)
{
    TWaveInDevice* device = Find(Handle);
    if (!device)
        return EBADF;
    device->Stop();
    return MMSYSERR_NOERROR;
}

MMRESULT waveInReset(HWAVEIN Handle)
{
    TWaveInDevice* device = Find(Handle);
    if (!device)
        return EBADF;
    device->Reset();
    return MMSYSERR_NOERROR;
}

MMRESULT waveInClose(HWAVEIN Handle)
{
    std::unique_ptr<TWaveInDevice> device;
    {
        std::lock_guard<std::mutex> guard(OpenDevices().Lock);
        const auto found = OpenDevices().Devices.find(Handle);
        if (found == OpenDevices().Devices.end())
            return EBADF;
        device = std::move(found->second);
        OpenDevices().Devices.erase(found);
    }
    // Buffers still queued come back before the close notification.
    device->Reset();
    const HWND window = device->Window();
    device.reset();
    PostMessage(window, MM_WIM_CLOSE, reinterpret_cast<WPARAM>(Handle), 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveInGetErrorText(MMRESULT Error, char* Text, unsigned Size)
{
    if (!Text || Size == 0)
        return EINVAL;
    std::string message = snd_strerror(-static_cast<int>(Error));
    {
        std::lock_guard<std::mutex> guard(OpenDevices().Lock);
        if (!OpenDevices().TriedPcm.empty())
            message += " (device " + OpenDevices().TriedPcm + ")";
    }
    const size_t length = std::min<size_t>(message.size(), Size - 1);
    std::memcpy(Text, message.data(), length);
    Text[length] = '\0';
    return MMSYSERR_NOERROR;
}
