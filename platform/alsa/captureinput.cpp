#include "platform/alsa/captureinput.h"

#include <alsa/asoundlib.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr const char* CaptureInputVariable = "QUIMBREL_INPUT";
constexpr const char* DefaultDescription = "Default";

// The choice made in this process; empty: none.
std::string& ChosenInput()
{
    static std::string chosen;
    return chosen;
}

// A hint's value, or "" when it has none; ALSA's copy is freed.
std::string HintValue(const void* Hint, const char* Id)
{
    const std::unique_ptr<char, decltype(&std::free)> value(snd_device_name_get_hint(Hint, Id), &std::free);
    return value ? value.get() : std::string();
}

// ALSA writes a description on two lines ("USB Audio\nDirect hardware device").
std::string OneLine(std::string Text)
{
    for (size_t at = Text.find('\n'); at != std::string::npos; at = Text.find('\n', at))
        Text.replace(at, 1, ", ");
    return Text;
}

} // namespace

std::vector<TCaptureInput> ListCaptureInputs()
{
    std::vector<TCaptureInput> inputs{{DefaultCaptureInput, DefaultDescription}};
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) != 0 || !hints)
        return inputs;
    for (void** hint = hints; *hint; ++hint) {
        const std::string name = HintValue(*hint, "NAME");
        const std::string direction = HintValue(*hint, "IOID"); // empty: both
        if (name.empty() || name == DefaultCaptureInput || direction == "Output")
            continue;
        inputs.push_back({name, OneLine(HintValue(*hint, "DESC"))});
    }
    snd_device_name_free_hint(hints);
    return inputs;
}

const char* CaptureInputHelp()
{
    return "Capture from the ALSA device NAME (as arecord -L lists them) instead of QUIMBREL_INPUT or \"default\".";
}

std::string CaptureInputName()
{
    if (!ChosenInput().empty())
        return ChosenInput();
    const char* variable = std::getenv(CaptureInputVariable);
    return variable && *variable ? variable : DefaultCaptureInput;
}

void ChooseCaptureInput(const std::string& Name)
{
    ChosenInput() = Name;
}
