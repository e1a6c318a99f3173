#include "levelcontrol/capturevolume.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double Percent = 100.0;
// Gains at or below this are shown as muted.
constexpr double MutedDecibels = -200.0;

} // namespace

bool TCaptureVolume::SetVolume(long Value)
{
    bool all = true;
    for (int c = 0; c < Channels(); ++c)
        all = SetChannelVolume(c, Value) && all;
    return all;
}

long TCaptureVolume::Volume() const
{
    long highest = Min();
    for (int c = 0; c < Channels(); ++c)
        highest = std::max(highest, ChannelVolume(c));
    return highest;
}

int TCaptureVolume::PercentAt(long Value) const
{
    if (Max() <= Min())
        return 0;
    return static_cast<int>(std::lround((Value - Min()) * Percent / (Max() - Min())));
}

std::string TCaptureVolume::Text(long Value) const
{
    char text[32];
    if (!HasDecibels())
        std::snprintf(text, sizeof text, "%d %%", PercentAt(Value));
    else if (DecibelsAt(Value) <= MutedDecibels)
        std::snprintf(text, sizeof text, "muted");
    else
        std::snprintf(text, sizeof text, "%+.1f dB", DecibelsAt(Value));
    return text;
}

TVolumeSnapshot TCaptureVolume::Snapshot() const
{
    TVolumeSnapshot saved;
    for (int c = 0; c < Channels(); ++c)
        saved.push_back(ChannelVolume(c));
    return saved;
}

bool TCaptureVolume::Restore(const TVolumeSnapshot& Saved)
{
    bool all = true;
    const int channels = std::min(Channels(), static_cast<int>(Saved.size()));
    for (int c = 0; c < channels; ++c)
        if (ChannelVolume(c) != Saved[c])
            all = SetChannelVolume(c, Saved[c]) && all;
    return all;
}
