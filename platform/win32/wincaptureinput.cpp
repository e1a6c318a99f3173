// The inputs to choose from on Windows: "Default" (winmm's wave mapper, the
// system's default recording device), then each wave-input device by the
// name waveInGetDevCapsW gives it. The input opened is the one chosen, else
// QUIMBREL_INPUT, else the default, as on every system.
//
// An input's Name is the device's name, so that the menu, --input and
// QUIMBREL_INPUT agree; where two devices share a name (or one gives none)
// each of them is named by its number instead, the one name that reaches it.
// A number or a name given for a listed device reads back as the menu names
// it, so that the menu marks the device in use.

#include "platform/alsa/captureinput.h"

#include "platform/win32/waveindevices.h"

#include <algorithm>
#include <cstdlib>

namespace {

const char* const InputVariable = "QUIMBREL_INPUT";
const char* const DefaultDescription = "Default";

std::string& ChosenInput()
{
    static std::string name;
    return name;
}

// The name the menu gives device Id of Names.
std::string MenuName(const std::vector<std::string>& Names, TWaveInDeviceId Id)
{
    const std::string& name = Names[Id];
    const bool shared = std::count(Names.begin(), Names.end(), name) > 1;
    return name.empty() || shared ? std::to_string(Id) : name;
}

// Name as the menu names the device it opens; a name that opens none stays as it is.
std::string ListedName(const std::string& Name)
{
    TWaveInDeviceId id = 0;
    if (Name == DefaultCaptureInput || !FindWaveInDevice(Name, id))
        return Name;
    const std::vector<std::string> names = WaveInDeviceNames();
    return id < names.size() ? MenuName(names, id) : Name;
}

} // namespace

std::vector<TCaptureInput> ListCaptureInputs()
{
    std::vector<TCaptureInput> inputs{{DefaultCaptureInput, DefaultDescription}};
    const std::vector<std::string> names = WaveInDeviceNames();
    for (TWaveInDeviceId id = 0; id < names.size(); ++id)
        inputs.push_back({MenuName(names, id), names[id]});
    return inputs;
}

const char* CaptureInputHelp()
{
    return "Capture from the recording device NAME, by its name as the Input menu lists it or by its number "
           "(0 for the first), instead of QUIMBREL_INPUT or \"default\".";
}

std::string CaptureInputName()
{
    if (!ChosenInput().empty())
        return ListedName(ChosenInput());
    const char* variable = std::getenv(InputVariable);
    return ListedName(variable && *variable ? variable : DefaultCaptureInput);
}

void ChooseCaptureInput(const std::string& Name)
{
    ChosenInput() = Name;
}
