// The capture volume of an input on Windows: the input's name leads to a
// winmm wave-input device (FindWaveInDevice), and the device to its capture
// endpoint's volume through Core Audio (TEndpointVolume), or, where that is
// not to be had, to the volume of its winmm mixer line (TWaveMixerVolume).
// Refresh reads the levels anew, so that a change made in the Sound control
// panel shows. COM is started once (StartCom), on the user-interface thread
// that makes the mixers.

#include "platform/alsa/capturemixer.h"

#include "platform/win32/comref.h"
#include "platform/win32/endpointvolume.h"
#include "platform/win32/waveindevices.h"
#include "platform/win32/wavemixervolume.h"

namespace {

constexpr const char* EndpointElement = "endpoint volume";
constexpr const char* WaveMixerElement = "winmm mixer volume";

} // namespace

struct TCaptureMixer::TSystemControl {
    std::unique_ptr<TWinVolume> Volume;
};

TCaptureMixer::TCaptureMixer(const std::string& PcmName)
    : FDevice(CaptureMixerDevice(PcmName))
{
    FSystem = std::make_unique<TSystemControl>();
    TWaveInDeviceId device = 0;
    if (!FindWaveInDevice(PcmName, device)) {
        FReason = "no level control: " + PcmName + " is no recording device";
        return;
    }
    StartCom();
    std::string endpointWhy, mixerWhy;
    FSystem->Volume = TEndpointVolume::Open(device, endpointWhy);
    FElementName = EndpointElement;
    if (!FSystem->Volume) {
        FSystem->Volume = TWaveMixerVolume::Open(device, mixerWhy);
        FElementName = WaveMixerElement;
    }
    if (!FSystem->Volume) {
        FElementName.clear();
        FReason = "no level control: " + PcmName + " has no recording volume (" + endpointWhy + "; " + mixerWhy + ")";
        return;
    }
    const TWinVolume& volume = *FSystem->Volume;
    FMin = volume.Min();
    FMax = volume.Max();
    FHasDecibels = volume.HasDecibels();
    for (int c = 0; c < volume.Channels(); ++c)
        FChannels.push_back(c);
}

TCaptureMixer::~TCaptureMixer() = default;

bool TCaptureMixer::Available() const
{
    return FSystem->Volume != nullptr;
}

long TCaptureMixer::ChannelVolume(int Channel) const
{
    return Available() ? FSystem->Volume->ChannelVolume(Channel) : FMin;
}

bool TCaptureMixer::SetChannelVolume(int Channel, long Value)
{
    if (!Available()) {
        FError = FReason;
        return false;
    }
    if (FSystem->Volume->SetChannelVolume(Channel, Value))
        return true;
    FError = FSystem->Volume->Error();
    return false;
}

bool TCaptureMixer::SetVolume(long Value)
{
    return TCaptureVolume::SetVolume(Value);
}

bool TCaptureMixer::Refresh()
{
    return Available() && FSystem->Volume->Refresh();
}

double TCaptureMixer::DecibelsAt(long Value) const
{
    return Available() ? FSystem->Volume->DecibelsAt(Value) : 0.0;
}

std::string CaptureMixerDevice(const std::string& PcmName)
{
    return PcmName;
}

bool CaptureVolumesSupported()
{
    return true;
}
