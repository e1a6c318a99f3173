#pragma once
// What quimbrel's command line asks for:
//   quimbrel [-i NAME | --input NAME] [FILE]
//   quimbrel --help | --version
// The input names the ALSA capture device for this run and wins over
// QUIMBREL_INPUT; FILE, the first argument that is not an option, only
// pre-fills the Open dialog. A command line that does not fit gets a message
// for standard error and exit status 2, as GNU programs do.

#include <string>
#include <vector>

enum class TProgramAction {
    paRun,     // start the window
    paHelp,    // print Text on standard output, exit 0
    paVersion, // print Text on standard output, exit 0
    paError,   // print Text on standard error, exit ExitUsage
};

struct TProgramOptions {
    static constexpr int ExitUsage = 2;

    TProgramAction Action = TProgramAction::paRun;
    std::string Input;              // --input's value; empty when not given
    std::vector<std::string> Files; // the arguments that are not options, in order
    std::string Text;               // help, version or error text, ending in a new line
};

// Reads Arguments (the program first); Version is what --version reports.
TProgramOptions ReadProgramOptions(const std::vector<std::string>& Arguments, const std::string& Version);
