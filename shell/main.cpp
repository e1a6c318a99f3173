#include "platform/alsa/captureinput.h"
#include "platform/forms/application.h"
#include "platform/kernel/commandlinepeer.h"
#include "platform/verres/ownversion.h"
#include "shell/mainform.h"
#include "shell/programoptions.h"
#include "versinfo/formhelpabout.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments = CommandLineArguments(argc, argv);
    const std::string version = OwnFileVersion();
    const TProgramOptions options = ReadProgramOptions(arguments, version.empty() ? QUIMBREL_BUILD_VERSION : version);
    if (options.Action != TProgramAction::paRun) {
        const bool error = options.Action == TProgramAction::paError;
        ShowCommandLineText(options.Text, error);
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
