#pragma once
// A program's command line in the usual GNU form (-i NAME, --input NAME,
// --input=NAME, -- before arguments that begin with "-"), read by the
// toolkit's parser. platform/qt/ implements it; CreateCommandLinePeer is its factory.

#include <memory>
#include <string>
#include <vector>

struct TCommandLineOption {
    std::vector<std::string> Names; // one letter for -i, longer for --input
    std::string Description;        // for the help text
    std::string ValueName;          // the value's name in the help text; empty for a switch
};

class TCommandLinePeer {
public:
    virtual ~TCommandLinePeer() = default;
    // Reads Arguments (the program first); false when they do not fit the
    // options, with ErrorText saying why.
    virtual bool Parse(const std::vector<std::string>& Arguments) = 0;
    virtual std::string ErrorText() const = 0;
    // Whether the option with this name was given, and its (last) value.
    virtual bool IsSet(const std::string& Name) const = 0;
    virtual std::string Value(const std::string& Name) const = 0;
    // The arguments that are not options, in order.
    virtual std::vector<std::string> Positional() const = 0;
    // Usage, Description, the options and the positional argument, for --help.
    virtual std::string HelpText() const = 0;
};

// A parser for Options, with the program's Description and one optional
// positional argument (its name and description) for the help text.
std::unique_ptr<TCommandLinePeer> CreateCommandLinePeer(const std::string& Description,
                                                        const std::vector<TCommandLineOption>& Options,
                                                        const std::string& PositionalName,
                                                        const std::string& PositionalDescription);

// The program's arguments in UTF-8, the program first, from main's argc and
// argv or, where the system keeps the command line in another form, from there.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Gives the user the text of --help, --version or a command-line error:
// standard output (standard error for an error) where the program has one,
// otherwise as the platform shows such text.
void ShowCommandLineText(const std::string& Text, bool Error);
