#include "platform/win32/wavemixervolume.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>

namespace {

HMIXEROBJ MixerObject(uintptr_t Mixer)
{
    return reinterpret_cast<HMIXEROBJ>(Mixer);
}

// A request for control Control's value on each channel, in Details.
MIXERCONTROLDETAILS DetailsRequest(unsigned Control, std::vector<MIXERCONTROLDETAILS_UNSIGNED>& Details)
{
    MIXERCONTROLDETAILS request{};
    request.cbStruct = sizeof request;
    request.dwControlID = Control;
    request.cChannels = static_cast<DWORD>(Details.size());
    request.cbDetails = sizeof Details[0];
    request.paDetails = Details.data();
    return request;
}

} // namespace

std::unique_ptr<TWaveMixerVolume> TWaveMixerVolume::Open(TWaveInDeviceId DeviceId, std::string& Why)
{
    std::unique_ptr<TWaveMixerVolume> volume(new TWaveMixerVolume());
    if (!volume->Find(DeviceId, Why))
        return nullptr;
    return volume;
}

TWaveMixerVolume::~TWaveMixerVolume()
{
    if (FMixer)
        mixerClose(reinterpret_cast<HMIXER>(FMixer));
}

bool TWaveMixerVolume::Find(TWaveInDeviceId DeviceId, std::string& Why)
{
    HMIXER mixer = nullptr;
    if (mixerOpen(&mixer, DeviceId, 0, 0, MIXER_OBJECTF_WAVEIN) != MMSYSERR_NOERROR) {
        Why = "no winmm mixer";
        return false;
    }
    FMixer = reinterpret_cast<uintptr_t>(mixer);
    MIXERLINEW line{};
    line.cbStruct = sizeof line;
    line.dwComponentType = MIXERLINE_COMPONENTTYPE_DST_WAVEIN;
    MIXERCONTROLW control{};
    MIXERLINECONTROLSW controls{};
    controls.cbStruct = sizeof controls;
    controls.dwControlType = MIXERCONTROL_CONTROLTYPE_VOLUME;
    controls.cControls = 1;
    controls.cbmxctrl = sizeof control;
    controls.pamxctrl = &control;
    bool found = mixerGetLineInfoW(MixerObject(FMixer), &line, MIXER_GETLINEINFOF_COMPONENTTYPE) == MMSYSERR_NOERROR;
    controls.dwLineID = line.dwLineID;
    found = found &&
            mixerGetLineControlsW(MixerObject(FMixer), &controls, MIXER_GETLINECONTROLSF_ONEBYTYPE) == MMSYSERR_NOERROR &&
            control.Bounds.dwMinimum < control.Bounds.dwMaximum;
    if (!found) {
        Why = "the winmm mixer has no recording volume";
        return false;
    }
    FControl = control.dwControlID;
    FMin = static_cast<long>(control.Bounds.dwMinimum);
    FMax = static_cast<long>(control.Bounds.dwMaximum);
    const bool uniform = (control.fdwControl & MIXERCONTROL_CONTROLF_UNIFORM) != 0;
    FValues.assign(uniform || line.cChannels == 0 ? 1 : line.cChannels, FMin);
    if (!ReadAll(FValues)) {
        Why = "the winmm mixer's recording volume cannot be read: " + FError;
        return false;
    }
    return true;
}

bool TWaveMixerVolume::ReadAll(std::vector<long>& Values)
{
    std::vector<MIXERCONTROLDETAILS_UNSIGNED> details(FValues.size());
    MIXERCONTROLDETAILS request = DetailsRequest(FControl, details);
    if (!Succeeded(mixerGetControlDetailsW(MixerObject(FMixer), &request, MIXER_GETCONTROLDETAILSF_VALUE)))
        return false;
    Values.resize(details.size());
    for (size_t c = 0; c < details.size(); ++c)
        Values[c] = std::clamp(static_cast<long>(details[c].dwValue), FMin, FMax);
    return true;
}

bool TWaveMixerVolume::Succeeded(unsigned Result)
{
    if (Result == MMSYSERR_NOERROR)
        return true;
    FError = "winmm mixer error " + std::to_string(Result);
    return false;
}

bool TWaveMixerVolume::SetChannelVolume(int Channel, long Value)
{
    if (!CheckChannel(Channel))
        return false;
    std::vector<MIXERCONTROLDETAILS_UNSIGNED> details(FValues.size());
    for (size_t c = 0; c < details.size(); ++c)
        details[c].dwValue = static_cast<DWORD>(FValues[c]);
    details[Channel].dwValue = static_cast<DWORD>(std::clamp(Value, FMin, FMax));
    MIXERCONTROLDETAILS request = DetailsRequest(FControl, details);
    if (!Succeeded(mixerSetControlDetails(MixerObject(FMixer), &request, MIXER_SETCONTROLDETAILSF_VALUE)))
        return false;
    FValues[Channel] = static_cast<long>(details[Channel].dwValue);
    return true;
}

bool TWaveMixerVolume::Refresh()
{
    std::vector<long> values;
    if (!ReadAll(values) || values == FValues)
        return false;
    FValues = values;
    return true;
}
