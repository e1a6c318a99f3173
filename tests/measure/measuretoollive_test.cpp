// quimbrel-measure --live on ALSA file PCMs, which play samples the test
// wrote: every block reads exactly as the same samples do from a WAV file,
// the JSON lines parse, --seconds and Ctrl-C end the run with the report, a
// device that cannot be opened ends it with status 1, and on a terminal
// (tmux) one line carries the bars, the marks and both levels.

#include "tools/measure/commandline.h"
#include "tools/measure/liveline.h"

#include "support/alsaconfig.h"
#include "support/measuretoolrun.h"
#include "support/riffbuilder.h"
#include "support/scratchdir.h"
#include "support/soxstats.h"
#include "support/stereoframes.h"
#include "support/wavwriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace {

constexpr size_t BlockFrames = 4410;
constexpr size_t SourceBlocks = 25; // blocks the file PCM holds; a run reads fewer
constexpr size_t LiveBlocks = 20;   // what --seconds 2 reads
constexpr int32_t FullScale = 32767;
constexpr size_t SquarePeriodFrames = 90; // divides a block, so every block's mean is 0
constexpr int16_t LeftSquare = 16384;     // -6.02 dB
constexpr int16_t RightSquare = 3277;     // -20.00 dB
constexpr auto ScreenWait = std::chrono::seconds(20);
constexpr long FlatMemoryLimitKiB = 512; // growth allowed from 100 blocks to 30,000: 17 bytes a block

const std::string Tool = std::string(QUIMBREL_BINARY_DIR) + MeasureToolInBuild;

TToolRun RunTool(const TScratchDir& Dir, const std::vector<std::string>& Args)
{
    return RunMeasureTool(Tool, Dir, Args);
}

// ALSA configuration text for a capture PCM Name that plays the samples in RawPath.
std::string FilePcm(const std::string& Name, const std::string& RawPath)
{
    return "pcm." + Name + " {\n  type file\n  slave.pcm { type null }\n  file \"/dev/null\"\n  infile \"" + RawPath +
           "\"\n  format \"raw\"\n}\n";
}

// Writes Samples as raw 16-bit stereo for a file PCM and returns its path.
std::string WriteRaw(const TScratchDir& Dir, const std::vector<int16_t>& Samples)
{
    const std::string path = Dir.File("capture.raw");
    riffbuilder::WriteFile(path, riffbuilder::Samples(Samples));
    return path;
}

// Whether block Block of Samples holds a full-scale sample on Channel (0 left, 1 right).
bool Clips(const std::vector<int16_t>& Samples, size_t Block, size_t Channel)
{
    for (size_t i = Block * BlockFrames * 2 + Channel; i < (Block + 1) * BlockFrames * 2; i += 2)
        if (Samples[i] >= FullScale || Samples[i] <= -FullScale - 1)
            return true;
    return false;
}

// A live block as the JSON lines give it.
struct TLiveRow {
    double Time = 0;
    float LeftdB = 0, RightdB = 0;
    int LeftClipped = 0, RightClipped = 0;
};

// Parses the JSON lines in File with Python's json module: every line but the
// last is a block, the last is the report. Returns the blocks, and in Report
// "file blocks left_clipped right_clipped" of the report.
std::vector<TLiveRow> JsonLines(const std::string& File, std::string& Report)
{
    int status = 0;
    const std::string out =
        RunCommand("python3 -c " +
                       ShellQuote("import json,sys\n"
                                  "*blocks, report = [json.loads(line) for line in open(sys.argv[1])]\n"
                                  "for b in blocks: print(repr(b['time_s']), repr(b['left_db']), repr(b['right_db']),"
                                  " int(b['left_clipped']), int(b['right_clipped']))\n"
                                  "f = report['files'][0]\n"
                                  "print('report', f['file'], f['blocks'], f['left']['clipped_blocks'], "
                                  "f['right']['clipped_blocks'])\n") +
                       " " + ShellQuote(File),
                   status);
    EXPECT_EQ(status, 0) << out;
    std::vector<TLiveRow> rows;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        TLiveRow row;
        if (line.rfind("report ", 0) == 0)
            Report = line.substr(7);
        else if (std::sscanf(line.c_str(), "%lf %f %f %d %d", &row.Time, &row.LeftdB, &row.RightdB, &row.LeftClipped,
                             &row.RightClipped) == 5)
            rows.push_back(row);
    }
    return rows;
}

// A square wave on each channel, LeftSquare and RightSquare high.
std::vector<int16_t> Squares()
{
    std::vector<int16_t> samples;
    for (size_t frame = 0; frame < SourceBlocks * BlockFrames; ++frame) {
        const int sign = frame % SquarePeriodFrames < SquarePeriodFrames / 2 ? 1 : -1;
        samples.push_back(static_cast<int16_t>(sign * LeftSquare));
        samples.push_back(static_cast<int16_t>(sign * RightSquare));
    }
    return samples;
}

// A private tmux server with one window of a given width running a command.
class TTmux {
public:
    TTmux(int Columns, const std::string& Command)
        : FSocket("quimbrel-live-" + std::to_string(getpid()) + "-" + std::to_string(Columns))
    {
        Run("new-session -d -x " + std::to_string(Columns) + " -y 40 " +
            ShellQuote(Command + "; echo status $?; sleep 60"));
    }
    ~TTmux() { Run("kill-server"); }

    std::string Screen() { return Run("capture-pane -p"); }
    void Keys(const std::string& Keys) { Run("send-keys " + Keys); }

    // Waits until the screen shows Text; returns the screen.
    std::string WaitFor(const std::string& Text)
    {
        const auto end = std::chrono::steady_clock::now() + ScreenWait;
        std::string screen = Screen();
        while (screen.find(Text) == std::string::npos && std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            screen = Screen();
        }
        return screen;
    }

private:
    std::string Run(const std::string& Arguments)
    {
        int status = 0;
        return RunCommand("tmux -f /dev/null -L " + FSocket + " " + Arguments, status);
    }

    std::string FSocket; // the server's socket name, private to the test
};

// The lines of Screen that begin with Prefix.
std::vector<std::string> LinesStarting(const std::string& Screen, const std::string& Prefix)
{
    std::vector<std::string> found;
    std::istringstream lines(Screen);
    std::string line;
    while (std::getline(lines, line))
        if (line.rfind(Prefix, 0) == 0)
            found.push_back(line);
    return found;
}

} // namespace

TEST(MeasureToolLive, EveryBlockReadsAsTheSameSamplesFromAFileAndTheJsonLinesParse)
{
    const TScratchDir dir;
    const std::vector<int16_t> samples = stereoframes::ChangingNoise(SourceBlocks);
    alsaconfig::UseText(FilePcm("receiver", WriteRaw(dir, samples)));
    const std::string wav = dir.File("same.wav");
    WriteWavFile(wav, samples);
    for (const bool rms : {false, true}) {
        SCOPED_TRACE(rms ? "RMS" : "peak");
        const std::vector<std::string> measure = rms ? std::vector<std::string>{"--rms"} : std::vector<std::string>{};
        std::vector<std::string> args = {"--live", "-i", "receiver", "--seconds", "2", "--json"};
        args.insert(args.end(), measure.begin(), measure.end());
        const TToolRun live = RunTool(dir, args);
        ASSERT_EQ(live.Status, 0) << live.Err;
        EXPECT_TRUE(live.Err.empty()) << live.Err;
        std::string report;
        const std::vector<TLiveRow> rows = JsonLines(dir.File("out.txt"), report);

        args = {"--blocks", wav};
        args.insert(args.end(), measure.begin(), measure.end());
        const std::vector<TBlockRow> fileRows = BlockRows(RunTool(dir, args).Out);
        ASSERT_EQ(rows.size(), LiveBlocks);
        ASSERT_GE(fileRows.size(), LiveBlocks);
        int clipped[2] = {0, 0};
        for (size_t b = 0; b < LiveBlocks; ++b) {
            EXPECT_DOUBLE_EQ(rows[b].Time, fileRows[b].Time) << "block " << b;
            EXPECT_EQ(rows[b].LeftdB, fileRows[b].LeftdB) << "block " << b;
            EXPECT_EQ(rows[b].RightdB, fileRows[b].RightdB) << "block " << b;
            EXPECT_EQ(rows[b].LeftClipped, Clips(samples, b, 0)) << "block " << b;
            EXPECT_EQ(rows[b].RightClipped, Clips(samples, b, 1)) << "block " << b;
            clipped[0] += Clips(samples, b, 0);
            clipped[1] += Clips(samples, b, 1);
        }
        EXPECT_GT(clipped[0], 0);
        EXPECT_EQ(report, "live input receiver 20 " + std::to_string(clipped[0]) + " " + std::to_string(clipped[1]));
    }
}

TEST(MeasureToolLive, LinesPerBlockThenTheReportAndAMissingDeviceIsNamed)
{
    const TScratchDir dir;
    alsaconfig::UseText(FilePcm("!default", WriteRaw(dir, Squares())));
    const TToolRun run = RunTool(dir, {"--live", "--seconds", "0.5"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out.rfind("    0.00 s  left   -6.02 dB  right  -20.00 dB\n"
                            "    0.10 s  left   -6.02 dB  right  -20.00 dB\n",
                            0),
              0u)
        << run.Out;
    EXPECT_NE(run.Out.find("    0.40 s  left   -6.02 dB  right  -20.00 dB\nlive input default\n"
                           "  duration 0.50 s, 44100 Hz, 2 channels, 5 blocks of 4410 frames, peak measure\n"),
              std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find("    NOAA            -3.0 dB   left raise by 3.0 dB"), std::string::npos) << run.Out;

    const TToolRun missing = RunTool(dir, {"--live", "--input", "nosuch"});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err,
              "quimbrel-measure: nosuch: cannot be opened for capture: No such file or directory (error 2)\n");
    EXPECT_TRUE(missing.Out.empty()) << missing.Out;
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"--live", "a.wav"}, {"--seconds", "3", "a.wav"}, {"--live", "--seconds", "0"}, {"--live", "-i"}})
        EXPECT_EQ(RunTool(dir, wrong).Status, 2) << wrong.back();
}

TEST(MeasureToolLive, MemoryStaysFlatOverTensOfThousandsOfBlocks)
{
    // The file PCM delivers as fast as it is read, so 30,000 blocks take a
    // moment; a run of 100 blocks sets the mark.
    const TScratchDir dir;
    alsaconfig::UseText(FilePcm("!default", WriteRaw(dir, Squares())));
    const auto peakKiB = [&](const std::string& Seconds) {
        int status = 0;
        const std::string output = RunCommand("/usr/bin/time -f %M -o " + ShellQuote(dir.File("peak.txt")) + " " +
                                                  ShellQuote(Tool) + " --live --seconds " + Seconds + " >/dev/null",
                                              status);
        EXPECT_EQ(status, 0) << output;
        return std::stol(ReadText(dir.File("peak.txt")));
    };
    const long shortRun = peakKiB("10");
    const long longRun = peakKiB("3000");
    std::printf("largest resident size: %ld KiB after 100 blocks, %ld KiB after 30000\n", shortRun, longRun);
    EXPECT_LT(longRun - shortRun, FlatMemoryLimitKiB);
}

TEST(MeasureToolLive, OnATerminalOneLineShowsTheBarsWithTheMarksAndCtrlCEndsTheRun)
{
    const TScratchDir dir;
    alsaconfig::UseText(FilePcm("!default", WriteRaw(dir, Squares())));
    const std::string command =
        "ALSA_CONFIG_PATH=" + ShellQuote(getenv("ALSA_CONFIG_PATH")) + " " + ShellQuote(Tool) + " --live";
    // Bars of 27 cells at 80 columns, 12 at 50; a mark's cell shows "|",
    // -3 and -2.5 dB share one at 50 columns. -6 dB reaches past -12, -20 dB does not.
    const std::pair<int, std::string> widths[] = {
        {80, "L ##################|####.||.   -6.0  R ##############....|.....||.  -20.0"},
        {50, "L ########|##|   -6.0  R #######.|..|  -20.0"}};
    for (const auto& [columns, line] : widths) {
        TTmux terminal(columns, command + " --seconds 2");
        const std::string screen = terminal.WaitFor("status ");
        EXPECT_EQ(LinesStarting(screen, "L "), std::vector<std::string>{line}) << screen;
        EXPECT_NE(screen.find(line + "\nlive input default\n  duration 2.00 s"), std::string::npos) << screen;
        EXPECT_NE(screen.find("status 0"), std::string::npos) << screen;
    }

    // Without --seconds the run goes on until Ctrl-C, which ends it with the report.
    TTmux terminal(80, command);
    ASSERT_NE(terminal.WaitFor("L #").find("L #"), std::string::npos);
    terminal.Keys("C-c");
    const std::string screen = terminal.WaitFor("status ");
    EXPECT_NE(screen.find("\nlive input default\n  duration "), std::string::npos) << screen;
    EXPECT_NE(screen.find("marks, against the 90th-percentile level:"), std::string::npos) << screen;
    EXPECT_NE(screen.find("status 0"), std::string::npos) << screen;
}

TEST(MeasureToolLive, OptionsAndTheClipSign)
{
    const measure::TMeasureOptions options =
        measure::ParseCommandLine({"--live", "--rms", "-i", "hw:1,0", "--seconds=2.5", "--json"});
    EXPECT_TRUE(options.Live);
    EXPECT_FALSE(options.PeakLevel);
    EXPECT_EQ(options.Input, "hw:1,0");
    EXPECT_EQ(options.Seconds, 2.5);
    EXPECT_EQ(measure::ParseCommandLine({"--live", "--input=plughw:1"}).Input, "plughw:1");
    EXPECT_EQ(measure::ParseCommandLine({"--live"}).Input, "default");

    // Full scale on the right: every cell lit, the clip sign after the levels;
    // on a terminal too narrow for all of it, what does not fit is left out whole.
    measure::TBlockLevels levels;
    levels.LeftdB = -45.0f;
    levels.RightdB = 0.0f;
    levels.RightClipped = true;
    EXPECT_EQ(measure::TLiveLine::Text(levels, 50), "L ........|..|  -45.0  R ########|##|    0.0 CLIP");
    EXPECT_EQ(measure::TLiveLine::Text(levels, 24), "L   -45.0  R     0.0");
    EXPECT_EQ(measure::TLiveLine::Text(levels, 20), "L   -45.0");
}
