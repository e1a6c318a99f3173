#pragma once
// A capture volume that Windows keeps for a device, as TCaptureMixer uses it
// there: each channel's step as last read or set, read anew by Refresh, since
// the Sound control panel or another program may change it at any time.

#include "levelcontrol/capturevolume.h"

class TWinVolume : public TCaptureVolume {
public:
    // Reads every channel's volume anew; true when one changed.
    virtual bool Refresh() = 0;
};
