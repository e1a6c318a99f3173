#include "tools/measure/liveoptions.h"

#include <cmath>
#include <cstdlib>

namespace measure {

namespace {

// The longest run --seconds may ask for: a year.
constexpr double LongestRunSeconds = 365.0 * 24 * 60 * 60;

// Whether Arg is the option Name, alone or with "=VALUE".
bool IsOption(const std::string& Arg, const std::string& Name)
{
    return Arg == Name || Arg.rfind(Name + "=", 0) == 0;
}

} // namespace

bool TLiveOptionParser::Take(const std::vector<std::string>& Args, size_t& Index)
{
    const std::string& arg = Args[Index];
    if (arg == "--live") {
        FOptions.Live = true;
    } else if (IsOption(arg, "--input") || arg == "-i") {
        FOptions.Input = ValueOf(arg == "-i" ? arg : "--input", Args, Index);
        if (FOptions.Input.empty())
            throw EUsageError("--input needs a device name");
        FInputGiven = true;
    } else if (IsOption(arg, "--seconds")) {
        FOptions.Seconds = ParseSeconds(ValueOf("--seconds", Args, Index));
        FSecondsGiven = true;
    } else {
        return false;
    }
    return true;
}

std::string TLiveOptionParser::ValueOf(const std::string& Name, const std::vector<std::string>& Args, size_t& Index)
{
    const std::string& arg = Args[Index];
    if (arg.size() > Name.size())
        return arg.substr(Name.size() + 1);
    if (Index + 1 >= Args.size())
        throw EUsageError(Name + " needs a value");
    return Args[++Index];
}

double TLiveOptionParser::ParseSeconds(const std::string& Text)
{
    char* end = nullptr;
    const double seconds = std::strtod(Text.c_str(), &end);
    if (Text.empty() || *end != '\0' || !std::isfinite(seconds) || seconds <= 0.0 || seconds > LongestRunSeconds)
        throw EUsageError("--seconds takes a number of seconds above 0 and at most a year, not \"" + Text + "\"");
    return seconds;
}

void TLiveOptionParser::Check() const
{
    if (!FOptions.Live) {
        if (FInputGiven || FSecondsGiven)
            throw EUsageError("--input and --seconds go with --live");
        return;
    }
    if (!FOptions.Files.empty())
        throw EUsageError("--live measures the input, not files");
    if (FOptions.Blocks)
        throw EUsageError("--live prints every block already; --blocks is for files");
}

std::string LiveHelpText()
{
    return "The live input, measured the same way as it comes:\n"
           "  --live     capture from ALSA's \"default\" device until Ctrl-C or the end\n"
           "             of --seconds, then print the report\n"
           "  -i, --input NAME\n"
           "             capture from the ALSA device NAME instead (\"arecord -L\")\n"
           "  --seconds N\n"
           "             stop after N seconds of input\n"
           "On a terminal one line shows the levels on two bars from -40 to 0 dB, the\n"
           "marks drawn in as |, and CLIP while a block holds a full-scale sample;\n"
           "otherwise, or with --json, every block gets a line. A device that cannot be\n"
           "opened, or is lost while capturing, ends the run with status 1.\n";
}

} // namespace measure
