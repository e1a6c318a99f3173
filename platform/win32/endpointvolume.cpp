#include "platform/win32/endpointvolume.h"

#include "platform/win32/comref.h"
#include "platform/win32/systemmessage.h"

#include <windows.h>
#include <mmsystem.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// The wave-input messages that give a device's endpoint ID (mmddk.h's).
constexpr UINT QueryFunctionInstanceId = DRV_RESERVED + 17;
constexpr UINT QueryFunctionInstanceIdSize = DRV_RESERVED + 18;
// An endpoint that tells no increment is stepped this finely, dB.
constexpr float FallbackIncrementDb = 0.5f;
// A range's end that lies on a whole step, give or take the float's rounding, is that step.
constexpr double StepRounding = 1e-4;

// The endpoint ID of wave-input device DeviceId, empty when winmm tells none.
std::wstring EndpointId(TWaveInDeviceId DeviceId)
{
    waveInGetNumDevs(); // winmm learns its devices on the first call that counts them
    const auto device = reinterpret_cast<HWAVEIN>(static_cast<UINT_PTR>(DeviceId));
    ULONG bytes = 0;
    if (waveInMessage(device, QueryFunctionInstanceIdSize, reinterpret_cast<DWORD_PTR>(&bytes), 0) !=
            MMSYSERR_NOERROR ||
        bytes < sizeof(wchar_t))
        return std::wstring();
    std::wstring id(bytes / sizeof(wchar_t), L'\0');
    if (waveInMessage(device, QueryFunctionInstanceId, reinterpret_cast<DWORD_PTR>(id.data()), bytes) !=
        MMSYSERR_NOERROR)
        return std::wstring();
    id.resize(wcsnlen(id.c_str(), id.size()));
    return id;
}

HRESULT OpenDevice(TWaveInDeviceId DeviceId, IMMDevice** Device)
{
    TComRef<IMMDeviceEnumerator> enumerator;
    HRESULT result = CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                                      __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(&enumerator));
    if (FAILED(result))
        return result;
    if (DeviceId == WAVE_MAPPER)
        return enumerator->GetDefaultAudioEndpoint(eCapture, eConsole, Device);
    const std::wstring id = EndpointId(DeviceId);
    if (id.empty())
        return E_NOTIMPL;
    return enumerator->GetDevice(id.c_str(), Device);
}

} // namespace

std::string SystemErrorText(long Result)
{
    const std::string message = SystemMessage(static_cast<unsigned long>(Result));
    char number[16];
    std::snprintf(number, sizeof number, "0x%08lX", static_cast<unsigned long>(Result));
    return message.empty() ? std::string("error ") + number : message + " (" + number + ")";
}

std::unique_ptr<TEndpointVolume> TEndpointVolume::Open(TWaveInDeviceId DeviceId, std::string& Why)
{
    TComRef<IMMDevice> device;
    HRESULT result = OpenDevice(DeviceId, &device);
    TComRef<IAudioEndpointVolume> volume;
    if (SUCCEEDED(result))
        result = device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                                  reinterpret_cast<void**>(&volume));
    if (FAILED(result)) {
        Why = "no capture endpoint volume: " + SystemErrorText(result);
        return nullptr;
    }
    std::unique_ptr<TEndpointVolume> endpoint(new TEndpointVolume(volume.Detach()));
    if (!endpoint->Describe(Why))
        return nullptr;
    return endpoint;
}

TEndpointVolume::~TEndpointVolume()
{
    FVolume->Release();
}

bool TEndpointVolume::Describe(std::string& Why)
{
    float lowest = 0.0f, highest = 0.0f, increment = 0.0f;
    HRESULT result = FVolume->GetVolumeRange(&lowest, &highest, &increment);
    if (FAILED(result) || !(lowest < highest)) {
        Why = "the capture endpoint tells no volume range";
        return false;
    }
    FIncrementDb = increment > 0.0f ? increment : FallbackIncrementDb;
    // Whole steps within the range: the endpoint refuses a level outside it.
    FMin = static_cast<long>(std::ceil(lowest / FIncrementDb - StepRounding));
    FMax = static_cast<long>(std::floor(highest / FIncrementDb + StepRounding));
    UINT channels = 0;
    FMasterOnly = FAILED(FVolume->GetChannelCount(&channels)) || channels == 0;
    FValues.assign(FMasterOnly ? 1 : channels, FMin);
    for (int c = 0; c < Channels(); ++c)
        if (!Read(c, FValues[c])) {
            Why = "the capture endpoint's volume cannot be read: " + FError;
            return false;
        }
    return true;
}

bool TEndpointVolume::Read(int Channel, long& Value)
{
    float level = 0.0f;
    const HRESULT result = FMasterOnly ? FVolume->GetMasterVolumeLevel(&level)
                                       : FVolume->GetChannelVolumeLevel(static_cast<UINT>(Channel), &level);
    if (FAILED(result)) {
        FError = SystemErrorText(result);
        return false;
    }
    Value = std::clamp(std::lround(level / FIncrementDb), FMin, FMax);
    return true;
}

bool TEndpointVolume::SetChannelVolume(int Channel, long Value)
{
    if (!CheckChannel(Channel))
        return false;
    const long step = std::clamp(Value, FMin, FMax);
    const auto level = static_cast<float>(DecibelsAt(step));
    const HRESULT result = FMasterOnly ? FVolume->SetMasterVolumeLevel(level, nullptr)
                                       : FVolume->SetChannelVolumeLevel(static_cast<UINT>(Channel), level, nullptr);
    if (FAILED(result)) {
        FError = SystemErrorText(result);
        return false;
    }
    FValues[Channel] = step;
    return true;
}

bool TEndpointVolume::Refresh()
{
    bool changed = false;
    for (int c = 0; c < Channels(); ++c) {
        long value = FValues[c];
        if (Read(c, value) && value != FValues[c]) {
            FValues[c] = value;
            changed = true;
        }
    }
    return changed;
}
