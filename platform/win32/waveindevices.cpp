#include "platform/win32/waveindevices.h"

#include "platform/alsa/captureinput.h"
#include "platform/win32/widetext.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstddef>

namespace {

// More digits than this cannot be a device's number, and would not fit.
constexpr size_t LongestDeviceNumber = 9;

// "3" names device 3; " 3", "+3", "03" and "3x" do not, so that a device
// whose name is such a text stays reachable by its name.
bool IsDeviceNumber(const std::string& Name)
{
    const bool digits = !Name.empty() && std::all_of(Name.begin(), Name.end(), [](char c) { return c >= '0' && c <= '9'; });
    return digits && (Name.size() == 1 || Name.front() != '0');
}

} // namespace

std::vector<std::string> WaveInDeviceNames()
{
    std::vector<std::string> names;
    const UINT count = waveInGetNumDevs();
    for (UINT id = 0; id < count; ++id) {
        WAVEINCAPSW caps{};
        const bool answered = waveInGetDevCapsW(id, &caps, sizeof caps) == MMSYSERR_NOERROR;
        names.push_back(answered ? Utf8Text(caps.szPname) : std::string());
    }
    return names;
}

std::string WaveInErrorText(unsigned Error)
{
    wchar_t text[MAXERRORLENGTH] = {};
    if (waveInGetErrorTextW(Error, text, MAXERRORLENGTH) != MMSYSERR_NOERROR)
        return std::string();
    return Utf8Text(text);
}

bool FindWaveInDevice(const std::string& Name, TWaveInDeviceId& DeviceId)
{
    if (Name == DefaultCaptureInput) {
        DeviceId = WAVE_MAPPER;
        return true;
    }
    const std::vector<std::string> names = WaveInDeviceNames();
    if (IsDeviceNumber(Name)) {
        if (Name.size() > LongestDeviceNumber)
            return false;
        const unsigned long number = std::stoul(Name);
        DeviceId = static_cast<TWaveInDeviceId>(number);
        return number < names.size();
    }
    const auto found = Name.empty() ? names.end() : std::find(names.begin(), names.end(), Name);
    if (found == names.end())
        return false;
    DeviceId = static_cast<TWaveInDeviceId>(found - names.begin());
    return true;
}
