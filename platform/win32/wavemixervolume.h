#pragma once
// A wave-input device's volume on winmm's mixer (mixerOpen with
// MIXER_OBJECTF_WAVEIN): the volume control of the device's wave-in
// destination line, in the control's own steps (0 to 65535 as a rule), per
// channel of the line (one where the control is uniform). It tells no
// decibels. Where the endpoint's volume is not to be had.

#include "platform/win32/waveindevices.h"
#include "platform/win32/winvolume.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TWaveMixerVolume : public TWinVolume {
public:
    // The volume of DeviceId's wave-in line, or nullptr and Why.
    static std::unique_ptr<TWaveMixerVolume> Open(TWaveInDeviceId DeviceId, std::string& Why);
    ~TWaveMixerVolume() override;

    TWaveMixerVolume(const TWaveMixerVolume&) = delete;
    TWaveMixerVolume& operator=(const TWaveMixerVolume&) = delete;

    bool SetChannelVolume(int Channel, long Value) override;
    bool HasDecibels() const override { return false; }
    double DecibelsAt(long) const override { return 0.0; }
    bool Refresh() override;

private:
    TWaveMixerVolume() = default;
    bool Find(TWaveInDeviceId DeviceId, std::string& Why);
    bool ReadAll(std::vector<long>& Values);
    bool Succeeded(unsigned Result); // false, with FError, for a winmm error

    uintptr_t FMixer = 0;     // the HMIXER
    unsigned FControl = 0;    // the volume control's ID
};
