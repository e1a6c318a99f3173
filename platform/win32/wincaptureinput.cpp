// The inputs to choose from on Windows: the system's default recording
// device (winmm's wave mapper) for now. The input opened is the one chosen,
// else QUIMBREL_INPUT, else the default, as on every system.

#include "platform/alsa/captureinput.h"

#include <cstdlib>

namespace {

const char* const InputVariable = "QUIMBREL_INPUT";

std::string& ChosenInput()
{
    static std::string name;
    return name;
}

} // namespace

std::vector<TCaptureInput> ListCaptureInputs()
{
    return {{DefaultCaptureInput, "Default"}};
}

std::string CaptureInputName()
{
    if (!ChosenInput().empty())
        return ChosenInput();
    const char* variable = std::getenv(InputVariable);
    return variable && *variable ? variable : DefaultCaptureInput;
}

void ChooseCaptureInput(const std::string& Name)
{
    ChosenInput() = Name;
}
