#pragma once
// winmm's wave-input devices by the names the program takes for them: the
// Input menu, --input and QUIMBREL_INPUT all name a device the same way.

#include <string>
#include <vector>

// A device's number as winmm counts it (0 ..), or the wave mapper.
using TWaveInDeviceId = unsigned;

// The devices' names as waveInGetDevCapsW gives them, in winmm's order (a
// device's place is its number); a device that does not answer has an empty name.
std::vector<std::string> WaveInDeviceNames();

// The device an input name names: "default" is the wave mapper; a plain
// decimal number below the device count is that device; any other name is
// the first device of that name. False for none.
bool FindWaveInDevice(const std::string& Name, TWaveInDeviceId& DeviceId);

// winmm's text for a wave-input error (waveInGetErrorTextW) in UTF-8, or
// empty when winmm has none. The wide call, because the ANSI one answers in
// the system's code page.
std::string WaveInErrorText(unsigned Error);
