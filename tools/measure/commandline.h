#pragma once
// The tool's command line: quimbrel-measure [--rms] [--json] [--blocks] FILE...
// or quimbrel-measure --live [--input NAME] [--seconds N] [--rms] [--json]

#include "platform/kernel/exception.h"

#include <string>
#include <vector>

namespace measure {

// Bad usage: an unknown option, no file, or options that do not go together. The message says what was wrong.
class EUsageError : public Exception {
public:
    using Exception::Exception;
};

struct TMeasureOptions {
    bool PeakLevel = true;           // peak measure, as the window starts; --rms for RMS
    bool Json = false;               // one JSON document instead of the text report
    bool Blocks = false;             // a row per block (time, left dB, right dB): CSV alone, or in the JSON
    bool Help = false;               // --help: print the help and measure nothing
    bool Version = false;            // --version: print the version and measure nothing
    std::vector<std::string> Files;  // in the order given
    bool Live = false;               // --live: measure the capture input instead of files
    std::string Input = "default";   // --input, -i: the ALSA PCM that --live captures
    double Seconds = 0.0;            // --seconds: how long --live captures, in seconds; 0 until interrupted
};

// Parses the arguments after the program name. "--" ends the options, so a
// file may begin with "-". Throws EUsageError.
TMeasureOptions ParseCommandLine(const std::vector<std::string>& Args);

// The usage lines, for files and for the live input.
extern const char* const UsageLine;
// The text printed by --help.
std::string HelpText();

} // namespace measure
