#include "shell/programoptions.h"

#include "platform/alsa/captureinput.h"
#include "platform/kernel/commandlinepeer.h"

namespace {

constexpr const char* ProgramName = "quimbrel";
constexpr const char* InputOption = "input";
constexpr const char* HelpOption = "help";
constexpr const char* VersionOption = "version";

std::unique_ptr<TCommandLinePeer> Parser()
{
    return CreateCommandLinePeer(
        "Shows the level of a stereo audio input on a decibel meter, with the marks for "
        "weather-satellite signals.",
        {{{"i", InputOption}, CaptureInputHelp(), "NAME"},
         {{"h", HelpOption}, "Show this help and exit.", ""},
         {{VersionOption}, "Show the version and exit.", ""}},
        "file", "A WAV file to offer in the Open dialog; nothing is opened at start.");
}

} // namespace

TProgramOptions ReadProgramOptions(const std::vector<std::string>& Arguments, const std::string& Version)
{
    TProgramOptions options;
    const auto parser = Parser();
    if (!parser->Parse(Arguments)) {
        options.Action = TProgramAction::paError;
        options.Text = std::string(ProgramName) + ": " + parser->ErrorText() + "\nTry '" + ProgramName +
                       " --help' for more information.\n";
        return options;
    }
    if (parser->IsSet(HelpOption)) {
        options.Action = TProgramAction::paHelp;
        options.Text = parser->HelpText();
        return options;
    }
    if (parser->IsSet(VersionOption)) {
        options.Action = TProgramAction::paVersion;
        options.Text = std::string(ProgramName) + " " + Version + "\n";
        return options;
    }
    options.Input = parser->Value(InputOption);
    options.Files = parser->Positional();
    return options;
}
