// The capture volume of an input on Windows: the input's name leads to a
// winmm wave-input device (FindWaveInDevice), and the device to its capture
// endpoint's volume through Core Audio (TEndpointVolume), or, where that is
// not to be had, to the volume of its winmm mixer line (TWaveMixerVolume).
// Refresh reads the levels anew, so that a change made in the Sound control
// panel shows. COM is started once (StartCom), on the user-interface thread
// that opens the volumes.

#include "levelcontrol/inputvolume.h"

#include "platform/win32/absentvolume.h"
#include "platform/win32/comref.h"
#include "platform/win32/endpointvolume.h"
#include "platform/win32/waveindevices.h"
#include "platform/win32/wavemixervolume.h"

std::unique_ptr<TInputVolume> OpenInputVolume(const std::string& Name)
{
    TWaveInDeviceId device = 0;
    if (!FindWaveInDevice(Name, device))
        return std::make_unique<TAbsentVolume>("no level control: " + Name + " is no recording device");
    StartCom();
    std::string endpointWhy, mixerWhy;
    if (std::unique_ptr<TEndpointVolume> endpoint = TEndpointVolume::Open(device, endpointWhy))
        return endpoint;
    if (std::unique_ptr<TWaveMixerVolume> mixer = TWaveMixerVolume::Open(device, mixerWhy))
        return mixer;
    return std::make_unique<TAbsentVolume>("no level control: " + Name + " has no recording volume (" + endpointWhy +
                                           "; " + mixerWhy + ")");
}

bool CaptureVolumesSupported()
{
    return true;
}
