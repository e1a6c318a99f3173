#include "platform/alsa/captureinput.h"
#include "platform/forms/application.h"
#include "platform/verres/ownversion.h"
#include "shell/mainform.h"
#include "shell/programoptions.h"
#include "versinfo/formhelpabout.h"

#include <cstdio>

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv, argv + argc);
    const std::string version = OwnFileVersion();
    const TProgramOptions options = ReadProgramOptions(arguments, version.empty() ? QUIMBREL_BUILD_VERSION : version);
    if (options.Action != TProgramAction::paRun) {
        const bool error = options.Action == TProgramAction::paError;
        std::fputs(options.Text.c_str(), error ? stderr : stdout);
        return error ? TProgramOptions::ExitUsage : 0;
    }
    if (!options.Input.empty())
        ChooseCaptureInput(options.Input);
    // The window sees the program and the arguments that are not options.
    std::vector<std::string> windowArguments{arguments.front()};
    windowArguments.insert(windowArguments.end(), options.Files.begin(), options.Files.end());
    Application.SetArgs(windowArguments);
    Application.Initialize();
    Application.CreateForm(Form1);
    Application.CreateForm(HelpAboutBox);
    Application.Run();
    Application.Finalize();
    return 0;
}
