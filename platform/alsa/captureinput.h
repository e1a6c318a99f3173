#pragma once
// The capture inputs the program can choose from, and the one it opens.
//
// An input is an ALSA PCM name. "default" is the desktop's chosen source
// (PulseAudio's or PipeWire's default source, or the first card). The others
// are the PCMs that ALSA's device hints name for capture, as `arecord -L`
// lists them. The input that waveInOpen opens is, in this order: the one
// chosen with ChooseCaptureInput, the QUIMBREL_INPUT variable when it is set
// and not empty, "default". A choice lasts as long as the process; nothing
// is written.

#include <string>
#include <vector>

// The PCM name of the system's chosen capture device.
inline constexpr const char* DefaultCaptureInput = "default";

struct TCaptureInput {
    std::string Name;        // the PCM name, as waveInOpen opens it ("default", "hw:CARD=USB,DEV=0")
    std::string Description; // ALSA's description, lines joined by ", "; "Default" for "default"
};

// "default" first, then each PCM that ALSA's hints name for capture (or for
// both directions), in ALSA's order, "default" not again.
std::vector<TCaptureInput> ListCaptureInputs();

// What --input takes, for the program's help: how this system names an input.
const char* CaptureInputHelp();

// The PCM that the next open uses.
std::string CaptureInputName();
// Chooses the PCM for the following opens; an empty name goes back to
// QUIMBREL_INPUT or "default".
void ChooseCaptureInput(const std::string& Name);
