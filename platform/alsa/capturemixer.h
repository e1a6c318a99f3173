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
// Volumes are the element's raw steps, Min to Max; every channel is set to
// the same step, and the highest channel is read. Another program may change
// the volume at any time: Refresh reads it again and tells.
// Everything runs on the caller's thread.

#include <string>

// ALSA's mixer handles, declared as ALSA declares them, so that the program
// can name this class on a system without ALSA (Windows has no capture
// volume here yet: CaptureVolumesSupported is false there).
typedef struct _snd_mixer snd_mixer_t;
typedef struct _snd_mixer_elem snd_mixer_elem_t;

class TCaptureMixer {
public:
    // Opens the mixer for PcmName; see Available.
    explicit TCaptureMixer(const std::string& PcmName);
    ~TCaptureMixer();

    TCaptureMixer(const TCaptureMixer&) = delete;
    TCaptureMixer& operator=(const TCaptureMixer&) = delete;

    bool Available() const { return FElement != nullptr; }
    // Why there is no control ("no level control on hw:1"); empty when there is one.
    const std::string& Reason() const { return FReason; }
    // The mixer device ("default", "hw:1") and the element ("Capture").
    const std::string& Device() const { return FDevice; }
    const std::string& ElementName() const { return FElementName; }

    long Min() const { return FMin; }
    long Max() const { return FMax; }
    // The volume in steps, as last read or set; Refresh reads it again.
    long Volume() const { return FVolume; }
    // Sets every channel; false when the mixer refused (the value is kept within Min..Max).
    bool SetVolume(long Value);
    // Reads the volume again (the mixer opened anew); true when it changed.
    // A mixer that cannot be opened again keeps what it had.
    bool Refresh();

    // Whether the element tells the gain of each step in decibels.
    bool HasDecibels() const { return FHasDecibels; }
    // The gain at a step in dB (only when HasDecibels); very low for a muting step.
    double DecibelsAt(long Value) const;
    // The step's place in Min..Max, 0 to 100, rounded.
    int PercentAt(long Value) const;
    // The step as the dialog shows it: "-12.5 dB", or "42 %" when the element tells no decibels.
    std::string Text(long Value) const;

private:
    bool Attach(const std::string& Device);
    snd_mixer_elem_t* FindCaptureElement() const;
    long ReadVolume() const;

    snd_mixer_t* FMixer = nullptr;
    snd_mixer_elem_t* FElement = nullptr; // owned by FMixer; nullptr: no control
    std::string FDevice;
    std::string FElementName;
    std::string FReason;
    long FMin = 0;
    long FMax = 0;
    long FVolume = 0;         // the last volume read or set, in steps
    bool FHasDecibels = false;
};

// The mixer device that controls the PCM Name's capture volume ("hw:1" for
// "plughw:1,0", "default" for "default").
std::string CaptureMixerDevice(const std::string& PcmName);

// Whether this system offers capture volumes at all; the Recording level
// dialog is offered only where it does.
bool CaptureVolumesSupported();
