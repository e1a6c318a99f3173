#pragma once
// The capture volume of an input, on ALSA's simple mixer.
//
// A PCM name leads to a mixer device: "hw:N", "plughw:N" and other card PCMs
// ("sysdefault:CARD=USB", "hw:CARD=USB,DEV=0") to card N's own mixer "hw:N";
// a name without arguments ("default", "pulse", "pipewire") to the control
// device of the same name, which for a sound server's plugin is the server's
// default source. On that mixer the element named "Capture" is taken when it
// has a capture volume, otherwise the first element that has one. A file
// PCM, or a card without a capture volume, has no control: Available is false
// and Reason says why.
//
// Volumes are the element's raw steps, Min to Max, per channel (the
// element's capture channels in ALSA's order: front left, front right, ...).
// Another program may change the volume at any time: the mixer stays open,
// and Refresh takes the change events that its descriptors have brought
// (without waiting). A card's mixer and PulseAudio's control plugin report
// every change so; PipeWire's reports none made elsewhere, so the mixer is
// also opened anew every 2 s (not on every call), to read such a change.
// Everything runs on the caller's thread.

#include "levelcontrol/inputvolume.h"

#include <chrono>
#include <string>
#include <vector>

// ALSA's mixer handles, declared as ALSA declares them.
typedef struct _snd_mixer snd_mixer_t;
typedef struct _snd_mixer_elem snd_mixer_elem_t;

class TCaptureMixer : public TInputVolume {
public:
    // Opens the mixer for PcmName; see Available.
    explicit TCaptureMixer(const std::string& PcmName);
    ~TCaptureMixer() override;

    TCaptureMixer(const TCaptureMixer&) = delete;
    TCaptureMixer& operator=(const TCaptureMixer&) = delete;

    bool Available() const override { return FElement != nullptr; }
    const std::string& Reason() const override { return FReason; }
    // The mixer device ("default", "hw:1") and the element ("Capture").
    const std::string& Device() const { return FDevice; }
    const std::string& ElementName() const { return FElementName; }

    long Min() const override { return FMin; }
    long Max() const override { return FMax; }
    int Channels() const override { return static_cast<int>(FChannels.size()); }
    long ChannelVolume(int Channel) const override;
    bool SetChannelVolume(int Channel, long Value) override;
    // Sets every channel at once; false when the mixer refused.
    bool SetVolume(long Value) override;
    std::string Error() const override { return FError; }
    // Takes the events that have come (a change made elsewhere, a card
    // removed) without waiting, or opens the mixer anew (see above); true
    // when a channel's volume changed.
    bool Refresh() override;

    bool HasDecibels() const override { return FHasDecibels; }
    double DecibelsAt(long Value) const override;

private:
    bool Attach(const std::string& Device);
    snd_mixer_elem_t* FindCaptureElement() const;
    bool Failed(int Error);
    void Watch();
    void TakeEvents();
    void Reopen();

    snd_mixer_t* FMixer = nullptr;
    snd_mixer_elem_t* FElement = nullptr; // owned by FMixer; nullptr: no control
    std::string FDevice;
    std::string FElementName;
    std::string FReason;
    long FMin = 0;
    long FMax = 0;
    std::vector<int> FChannels; // the element's capture channels (ALSA's channel ids)
    std::string FError;       // why the last write failed
    std::chrono::steady_clock::time_point FOpened; // when the mixer was last opened
    bool FHasDecibels = false;
};

// The mixer device that controls the PCM Name's capture volume ("hw:1" for
// "plughw:1,0", "default" for "default").
std::string CaptureMixerDevice(const std::string& PcmName);
