// The program's wave-input calls (platform/alsa/mmsystem.h) on winmm: each
// open device is a TWinWaveInDevice, found by its handle, which is winmm's own.

#include "platform/alsa/captureinput.h"
#include "platform/alsa/mmsystem.h"

#include "platform/win32/waveindevices.h"
#include "platform/win32/winwaveindevice.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

std::map<HWAVEIN, std::unique_ptr<TWinWaveInDevice>>& Devices()
{
    static std::map<HWAVEIN, std::unique_ptr<TWinWaveInDevice>> devices;
    return devices;
}

TWinWaveInDevice* Find(HWAVEIN Handle)
{
    const auto found = Devices().find(Handle);
    return found == Devices().end() ? nullptr : found->second.get();
}

// The input that an open last tried, for the error texts.
struct TTriedInput {
    std::string Name;
    bool Unknown = false; // no device has that name
};

TTriedInput& Tried()
{
    static TTriedInput tried;
    return tried;
}

// winmm's explanation of Error, without its closing full stop. A name that
// names no device is told as on Linux, where ALSA says so of a PCM it does
// not know; winmm's own text for it speaks of device numbers out of range.
std::string ErrorText(MMRESULT Error)
{
    if (Error == MMSYSERR_BADDEVICEID && Tried().Unknown)
        return std::strerror(ENOENT);
    std::string full = WaveInErrorText(Error);
    if (full.empty())
        full = "Unknown error " + std::to_string(Error);
    while (!full.empty() && (full.back() == '.' || full.back() == ' '))
        full.pop_back();
    return full;
}

} // namespace

MMRESULT waveInOpen(HWAVEIN* Handle, unsigned DeviceId, const WAVEFORMATEX* Format, HWND Callback, uintptr_t,
                    uint32_t Flags)
{
    if (!Handle || !Format || Flags != CALLBACK_WINDOW || (DeviceId != WAVE_MAPPER && DeviceId != 0))
        return MMSYSERR_INVALPARAM;
    Tried().Name = CaptureInputName();
    unsigned device = WAVE_MAPPER;
    Tried().Unknown = !FindWaveInDevice(Tried().Name, device);
    if (Tried().Unknown)
        return MMSYSERR_BADDEVICEID;
    std::unique_ptr<TWinWaveInDevice> opened;
    const MMRESULT result = TWinWaveInDevice::Open(device, *Format, Callback, opened);
    if (result != MMSYSERR_NOERROR)
        return result;
    *Handle = opened->Handle();
    Devices()[*Handle] = std::move(opened);
    return MMSYSERR_NOERROR;
}

MMRESULT waveInPrepareHeader(HWAVEIN Handle, WAVEHDR* Header, uint32_t)
{
    TWinWaveInDevice* device = Find(Handle);
    return device && Header ? device->Prepare(Header) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveInUnprepareHeader(HWAVEIN Handle, WAVEHDR* Header, uint32_t)
{
    if (!Header)
        return MMSYSERR_INVALPARAM;
    TWinWaveInDevice* device = Find(Handle);
    if (device)
        return device->Unprepare(Header);
    // The device has closed already; its headers are no longer winmm's.
    Header->dwFlags &= ~(WHDR_PREPARED | WHDR_INQUEUE);
    return MMSYSERR_NOERROR;
}

MMRESULT waveInAddBuffer(HWAVEIN Handle, WAVEHDR* Header, uint32_t)
{
    TWinWaveInDevice* device = Find(Handle);
    return device && Header ? device->AddBuffer(Header) : MMSYSERR_INVALHANDLE;
}

MMRESULT waveInStart(HWAVEIN Handle)
{
    TWinWaveInDevice* device = Find(Handle);
    return device ? device->Start() : MMSYSERR_INVALHANDLE;
}

MMRESULT waveInStop(HWAVEIN Handle)
{
    TWinWaveInDevice* device = Find(Handle);
    return device ? device->Stop() : MMSYSERR_INVALHANDLE;
}

MMRESULT waveInReset(HWAVEIN Handle)
{
    TWinWaveInDevice* device = Find(Handle);
    return device ? device->Reset() : MMSYSERR_INVALHANDLE;
}

MMRESULT waveInClose(HWAVEIN Handle)
{
    TWinWaveInDevice* device = Find(Handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    const MMRESULT result = device->Close();
    if (result == MMSYSERR_NOERROR)
        Devices().erase(Handle);
    return result;
}

MMRESULT waveInGetErrorText(MMRESULT Error, char* Text, unsigned Size)
{
    if (!Text || Size == 0)
        return MMSYSERR_INVALPARAM;
    std::string full = ErrorText(Error);
    if (!Tried().Name.empty())
        full += " (device " + Tried().Name + ")";
    std::snprintf(Text, Size, "%s", full.c_str());
    return MMSYSERR_NOERROR;
}
