#pragma once
// The capture volume of an input, as the Recording level dialog opens it:
// each system's mixer implements it (ALSA's simple mixer on Linux, the
// capture endpoint's or winmm's volume on Windows), and OpenInputVolume,
// which each system defines beside its mixer, picks the one for an input.
// An input without a control still gives a volume, one that is not
// Available and tells why in Reason.

#include "levelcontrol/capturevolume.h"

#include <memory>
#include <string>

class TInputVolume : public TCaptureVolume {
public:
    // Whether the input has a control at all.
    virtual bool Available() const = 0;
    // Why there is no control ("no level control: hw:1 has no mixer"); empty when there is one.
    virtual const std::string& Reason() const = 0;
    // Takes a change made elsewhere (another program, the system's sound
    // settings) without waiting; true when a channel's volume changed.
    virtual bool Refresh() = 0;
};

// The capture volume of the input that Name names (as waveInOpen opens it).
std::unique_ptr<TInputVolume> OpenInputVolume(const std::string& Name);

// Whether this system offers capture volumes at all; the Recording level
// dialog is offered only where it does.
bool CaptureVolumesSupported();
