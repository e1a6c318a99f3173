#pragma once
// A capture endpoint's volume through Core Audio (IAudioEndpointVolume): the
// endpoint of a winmm wave-input device, or the default capture endpoint for
// the wave mapper. Steps are the endpoint's own volume increments: step N is
// N times the increment in dB, Min..Max covering GetVolumeRange. Channels are
// the endpoint's; one that tells no channels (Wine's) is one channel, its
// master volume. COM is initialised by the caller's thread.

#include "platform/win32/waveindevices.h"
#include "platform/win32/winvolume.h"

#include <memory>
#include <string>

struct IAudioEndpointVolume;

class TEndpointVolume : public TWinVolume {
public:
    // The endpoint's volume of DeviceId, or nullptr and Why ("the endpoint has no volume").
    static std::unique_ptr<TEndpointVolume> Open(TWaveInDeviceId DeviceId, std::string& Why);
    ~TEndpointVolume() override;

    TEndpointVolume(const TEndpointVolume&) = delete;
    TEndpointVolume& operator=(const TEndpointVolume&) = delete;

    bool SetChannelVolume(int Channel, long Value) override;
    bool HasDecibels() const override { return true; }
    double DecibelsAt(long Value) const override { return Value * FIncrementDb; }
    bool Refresh() override;

private:
    explicit TEndpointVolume(IAudioEndpointVolume* Volume) : FVolume(Volume) {}
    bool Describe(std::string& Why);
    bool Read(int Channel, long& Value);

    IAudioEndpointVolume* FVolume; // owned
    double FIncrementDb = 0.0;     // the gain of one step
    bool FMasterOnly = false;      // no channels told: the master volume is the one channel
};

// A COM or Windows error as text: the system's message and its number.
std::string SystemErrorText(long Result);
