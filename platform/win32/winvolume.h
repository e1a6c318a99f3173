#pragma once
// A capture volume that Windows keeps for a device, as the Recording level
// dialog moves it there: each channel's step as last read or set, read anew
// by Refresh, since the Sound control panel or another program may change it
// at any time. Each kind of volume fills in the range and the channels when
// it opens; one that opens is Available.

#include "levelcontrol/inputvolume.h"

#include <string>
#include <vector>

class TWinVolume : public TInputVolume {
public:
    long Min() const override { return FMin; }
    long Max() const override { return FMax; }
    int Channels() const override { return static_cast<int>(FValues.size()); }
    long ChannelVolume(int Channel) const override { return HasChannel(Channel) ? FValues[Channel] : FMin; }
    std::string Error() const override { return FError; }
    bool Available() const override { return true; }
    const std::string& Reason() const override { return FReason; }

protected:
    bool HasChannel(int Channel) const { return Channel >= 0 && Channel < Channels(); }
    // HasChannel, else false with Error "no such channel".
    bool CheckChannel(int Channel)
    {
        if (HasChannel(Channel))
            return true;
        FError = "no such channel";
        return false;
    }

    long FMin = 0;
    long FMax = 0;
    std::vector<long> FValues; // each channel's step, as last read or set
    std::string FError;
    const std::string FReason; // empty: there is a control
};
