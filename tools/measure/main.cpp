// quimbrel-measure: the recording level of WAV files, or of the live input,
// block by block, as Quimbrel's meter shows it. Links only the Qt-free part of
// the program.

#include "platform/kernel/programarguments.h"
#include "report/csvreport.h"
#include "report/filemeasurement.h"
#include "report/jsonreport.h"
#include "report/textreport.h"
#include "report/vectorpath.h"
#include "tools/measure/commandline.h"
#include "tools/measure/livemeasurement.h"
#include "tools/measure/terminal.h"
#include "tools/measure/terminalprogress.h"
#include "tools/measure/toolversion.h"

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace measure;

namespace {

constexpr int ExitMeasured = 0;   // every file measured
constexpr int ExitFileFailed = 1; // at least one file could not be measured, or the live input
constexpr int ExitBadUsage = 2;   // the command line was wrong

std::unique_ptr<TReportWriter> MakeReport(const TMeasureOptions& Options)
{
    if (Options.Json)
        return std::make_unique<TJsonReport>(stdout, ToolVersion(), Options.PeakLevel);
    if (Options.Blocks)
        return std::make_unique<TCsvReport>(stdout, Options.Files.size() > 1);
    return std::make_unique<TTextReport>(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    PrepareStandardStreams();
    TMeasureOptions options;
    try {
        options = ParseCommandLine(ProgramArguments(argc, argv));
    } catch (const EUsageError& error) {
        std::fprintf(stderr, "quimbrel-measure: %s\n%s\n", error.Message().c_str(), UsageLine);
        return ExitBadUsage;
    }
    if (options.Help) {
        std::fputs(HelpText().c_str(), stdout);
        return ExitMeasured;
    }
    // A vector path that QUIMBREL_SIMD names and this processor lacks ends the run here.
    const TVectorPath vectorPath = ActiveVectorPath();
    if (options.Version) {
        std::printf("quimbrel-measure %s\nvector path: %s\n", ToolVersion().c_str(), VectorPathName(vectorPath));
        return ExitMeasured;
    }

    if (options.Live)
        return MeasureLive(options, ToolVersion()) ? ExitMeasured : ExitFileFailed;

    std::unique_ptr<TTerminalProgress> progress;
    if (IsTerminal(stderr))
        progress = std::make_unique<TTerminalProgress>(stderr);
    const std::unique_ptr<TReportWriter> report = MakeReport(options);
    const TFileMeasureOptions fileOptions{options.PeakLevel, options.Blocks, true};
    // Rows of a stream go out as each block ends, so a recording can be watched.
    if (std::find(options.Files.begin(), options.Files.end(), "-") != options.Files.end())
        std::setvbuf(stdout, nullptr, _IOLBF, 0);
    int status = ExitMeasured;
    for (const std::string& file : options.Files) {
        const TMeasureOutcome outcome = MeasureFile(file, fileOptions, *report, progress.get());
        std::fflush(stdout);
        for (const std::string& warning : outcome.Warnings)
            std::fprintf(stderr, "quimbrel-measure: %s: %s\n", file.c_str(), warning.c_str());
        if (!outcome.Measured) {
            std::fprintf(stderr, "quimbrel-measure: %s: %s\n", file.c_str(), outcome.Message.c_str());
            status = ExitFileFailed;
        }
    }
    report->Finish();
    return status;
}
