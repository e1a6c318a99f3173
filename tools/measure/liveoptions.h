#pragma once
// The options of a live run: --live, --input NAME (-i NAME), --seconds N,
// and the rules for combining them with the rest of the command line.

#include "tools/measure/commandline.h"

#include <cstddef>
#include <string>
#include <vector>

namespace measure {

class TLiveOptionParser {
public:
    explicit TLiveOptionParser(TMeasureOptions& Options) : FOptions(Options) {}

    // Takes Args[Index] when it is a live option, and its value (advancing
    // Index past it); false for any other option. Throws EUsageError for a
    // missing or bad value.
    bool Take(const std::vector<std::string>& Args, size_t& Index);

    // After the last argument: throws EUsageError for options that do not go
    // together (files or --blocks with --live, --input or --seconds without it).
    void Check() const;

private:
    // The value of the option Name at Args[Index]: after "=" in the same
    // argument, or the next argument.
    static std::string ValueOf(const std::string& Name, const std::vector<std::string>& Args, size_t& Index);
    static double ParseSeconds(const std::string& Text);

    TMeasureOptions& FOptions;
    bool FInputGiven = false;   // --input or -i was given
    bool FSecondsGiven = false; // --seconds was given
};

// The help's paragraph on live runs.
std::string LiveHelpText();

} // namespace measure
