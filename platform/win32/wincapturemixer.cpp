// Capture volumes on Windows are not offered yet: every input reads as one
// without a level control, and the Recording level dialog is not offered.

#include "platform/alsa/capturemixer.h"

TCaptureMixer::TCaptureMixer(const std::string& PcmName)
    : FDevice(PcmName), FReason("no level control: " + PcmName + " has no mixer")
{
}

TCaptureMixer::~TCaptureMixer() = default;

long TCaptureMixer::ChannelVolume(int) const
{
    return FMin;
}

bool TCaptureMixer::SetChannelVolume(int, long)
{
    FError = FReason;
    return false;
}

bool TCaptureMixer::SetVolume(long)
{
    FError = FReason;
    return false;
}

bool TCaptureMixer::Refresh()
{
    return false;
}

double TCaptureMixer::DecibelsAt(long) const
{
    return 0.0;
}

std::string TCaptureMixer::Text(long) const
{
    return std::string();
}

std::string CaptureMixerDevice(const std::string& PcmName)
{
    return PcmName;
}

bool CaptureVolumesSupported()
{
    return false;
}
