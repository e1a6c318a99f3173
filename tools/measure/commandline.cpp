#include "tools/measure/commandline.h"

#include "tools/measure/liveoptions.h"

namespace measure {

const char* const UsageLine = "usage: quimbrel-measure [--rms] [--json] [--blocks] [--help] [--version] FILE...\n"
                              "       quimbrel-measure --live [--input NAME] [--seconds N] [--rms] [--json]";

TMeasureOptions ParseCommandLine(const std::vector<std::string>& Args)
{
    TMeasureOptions options;
    TLiveOptionParser live(options);
    bool optionsEnded = false;
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& arg = Args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            options.Files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--rms") {
            options.PeakLevel = false;
        } else if (arg == "--peak") {
            options.PeakLevel = true;
        } else if (arg == "--json") {
            options.Json = true;
        } else if (arg == "--blocks") {
            options.Blocks = true;
        } else if (arg == "--help" || arg == "-h") {
            options.Help = true;
        } else if (arg == "--version") {
            options.Version = true;
        } else if (!live.Take(Args, i)) {
            throw EUsageError("unknown option " + arg);
        }
    }
    live.Check();
    if (options.Files.empty() && !options.Live && !options.Help && !options.Version)
        throw EUsageError("no file given");
    return options;
}

std::string HelpText()
{
    return std::string(UsageLine) + "\n"
           "\n"
           "Reports the recording level of 16-bit PCM WAV files (any sample rate; of\n"
           "more than two channels, channels 1 and 2; RIFF, RF64 and\n"
           "WAVE_FORMAT_EXTENSIBLE), or of a WAV stream on standard input given as -,\n"
           "as Quimbrel's meter would show it: each 100 ms block of 4410\n"
           "frames has the running DC-offset estimate taken off, is measured, smoothed\n"
           "and converted to dB (0 dB = a full-scale sine wave).\n"
           "\n"
           "  --rms      measure RMS level instead of peak level\n"
           "  --json     print one JSON document instead of the text report\n"
           "  --blocks   print one CSV row per block instead of the report:\n"
           "             time_s,left_db,right_db (a first column \"file\" for several\n"
           "             files); with --json, \"block_levels\" in each file\n"
           "  --help     print this help\n"
           "  --version  print the version\n"
           "\n" + LiveHelpText() + "\n"
           "Per file: duration, rate, channels, blocks; per channel the maximum, median\n"
           "and 90th-percentile block level, the sample peak in dBFS, the blocks with a\n"
           "sample at full scale, the final DC-offset estimate; the left/right difference;\n"
           "and how far the 90th-percentile level sits from the marks Resurs/Meteor\n"
           "(-2.5 dB), NOAA (-3 dB) and Okean/SICH (-12 dB).\n"
           "\n"
           "An interrupted recording is measured as far as it holds full blocks, with\n"
           "a warning; the placeholder sizes of streamed recordings (0, 0xFFFFFFFF,\n"
           "0x7FFFFFFF, 0x80000000, 0x7FFFF000) mean \"to the end of the file\". With -,\n"
           "--blocks writes each row as its block ends. Only regular files and - are\n"
           "read; other formats are refused with a message that says what they are.\n"
           "\n"
           "Exit status: 0 when every file was measured, 1 when a file could not be, or\n"
           "held no full block (the others are still measured), 2 for bad usage.\n";
}

} // namespace measure
