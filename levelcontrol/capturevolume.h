#pragma once
// An input's capture volume, as level setting moves it: a control of one or
// more channels, each set in the control's own steps Min..Max, a higher step
// never giving a lower level. Each platform implements it over its mixer
// (ALSA's simple mixer on Linux); tests implement it over a simulation.
//
// Level setting saves every channel before it moves any (Snapshot), and puts
// each back exactly (Restore), so that a balance between the channels set by
// the operator survives a search that was cancelled or failed.
// Everything runs on the caller's thread.

#include <string>
#include <vector>

// Each channel's volume at one moment, in steps, in channel order.
using TVolumeSnapshot = std::vector<long>;

class TCaptureVolume {
public:
    virtual ~TCaptureVolume() = default;

    // The step range; Min <= Max.
    virtual long Min() const = 0;
    virtual long Max() const = 0;
    // The number of channels, at least 1 while the control works.
    virtual int Channels() const = 0;
    // A channel's volume in steps, as last read or set.
    virtual long ChannelVolume(int Channel) const = 0;
    // Sets one channel (Value kept within Min..Max); false when the control
    // refused, and Error tells why.
    virtual bool SetChannelVolume(int Channel, long Value) = 0;
    // Sets every channel to one step; false when the control refused.
    virtual bool SetVolume(long Value);
    // Why the last write failed ("No such device"); empty before any failure.
    virtual std::string Error() const = 0;

    // Whether the control tells the gain of each step in decibels.
    virtual bool HasDecibels() const = 0;
    // The gain at a step in dB (only when HasDecibels); very low for a muting step.
    virtual double DecibelsAt(long Value) const = 0;

    // The highest channel's volume: the one that reaches the meter's higher bar.
    long Volume() const;
    // The step's place in Min..Max, 0 to 100, rounded.
    int PercentAt(long Value) const;
    // The step as the dialog shows it: "-12.5 dB", "muted", or "42 %" when
    // the control tells no decibels.
    std::string Text(long Value) const;
    // Every channel's volume now.
    TVolumeSnapshot Snapshot() const;
    // Puts each channel of Saved back, writing only those that differ; false
    // when a write failed (Error tells why), after trying every channel.
    bool Restore(const TVolumeSnapshot& Saved);
};
