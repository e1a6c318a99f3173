// quimbrel-measure --live on a real sound server, started by
// tests/system/pulseaudio-test.sh and pipewire-test.sh with a sine of half
// full scale on its default source: the tool reads the sine's level, and a
// server killed while it captures ends it with status 1 and one line within
// two seconds, its memory flat until then.

#include "soundserverwindow.h"
#include "support/measuretoolrun.h"
#include "support/scratchdir.h"
#include "support/soxstats.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double LevelToleranceDb = 0.1;
constexpr int SettledBlock = 10; // blocks before the smoothed level has settled
// Memory is looked at after 2 s and again 6 s later. PulseAudio's client
// grows its pools in steps of some 200 to 300 KiB during the first minute, so
// the limit is loose; a leak of a few bytes a block shows in the file-PCM
// test of tens of thousands of blocks (tests/measure/measuretoollive_test.cpp).
constexpr int CapturingLines = 20; // lines (blocks) before memory is first looked at
constexpr int MeasuredLines = 80;  // and when it is looked at again
constexpr auto LineWait = std::chrono::seconds(20);
constexpr auto LossLimit = std::chrono::milliseconds(2000); // from the kill to the tool's end
constexpr auto ExitWait = std::chrono::seconds(10);
constexpr long GrowthLimitKiB = 2048;
constexpr double ProcessorLimitPercent = 5.0;
constexpr double Percent = 100.0;
constexpr int SignalStatusBase = 128; // a process ended by signal N reports 128 + N, as in the shell
constexpr int SpawnFailed = 127;      // as the shell reports a command it could not start

const char* const Tool = QUIMBREL_MEASURE_TOOL;

size_t LineCount(const std::string& Path)
{
    std::ifstream file(Path);
    return static_cast<size_t>(std::count(std::istreambuf_iterator<char>(file), {}, '\n'));
}

// Resident memory (KiB) and processor time (clock ticks) of process Pid.
long ResidentKiBOf(pid_t Pid)
{
    std::ifstream status("/proc/" + std::to_string(Pid) + "/status");
    std::string key;
    long value = 0;
    while (status >> key)
        if (key == "VmRSS:" && status >> value)
            return value;
    return 0;
}

long ProcessorTicks(pid_t Pid)
{
    std::ifstream stat("/proc/" + std::to_string(Pid) + "/stat");
    std::string field;
    constexpr int UserTimeField = 14; // then system time; both in clock ticks
    long ticks = 0;
    for (int i = 1; i <= UserTimeField + 1 && stat >> field; ++i)
        if (i >= UserTimeField)
            ticks += std::stol(field);
    return ticks;
}

// The tool in the background, its output in Dir's out.txt and err.txt.
class TBackgroundTool {
public:
    TBackgroundTool(const TScratchDir& Dir, std::vector<std::string> Args)
        : Out(Dir.File("out.txt")), Err(Dir.File("err.txt"))
    {
        Args.insert(Args.begin(), Tool);
        std::vector<char*> argv;
        for (std::string& arg : Args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, Out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, Err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const bool spawned = posix_spawn(&Pid, Tool, &actions, nullptr, argv.data(), environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_TRUE(spawned);
        if (!spawned) {
            Status = SpawnFailed;
            return;
        }
        // Waits for the end, so that its moment is known to the millisecond.
        FWatcher = std::thread([this] {
            int status = 0;
            waitpid(Pid, &status, 0);
            Ended = Clock::now();
            Status = WIFEXITED(status) ? WEXITSTATUS(status) : SignalStatusBase + WTERMSIG(status);
        });
    }
    ~TBackgroundTool()
    {
        if (Running())
            kill(Pid, SIGKILL);
        if (FWatcher.joinable())
            FWatcher.join();
    }

    bool WaitForLines(size_t Count)
    {
        const auto end = Clock::now() + LineWait;
        while (LineCount(Out) < Count && Running() && Clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        return LineCount(Out) >= Count;
    }

    bool Running() const { return Status < 0; }

    pid_t Pid = 0;
    std::atomic<int> Status = -1; // the exit status once it has ended (128 + N for signal N)
    Clock::time_point Ended;      // when it ended; written before Status
    std::string Out, Err;

private:
    std::thread FWatcher;
};

class LiveTool : public SoundServerWindow {};

} // namespace

TEST_F(LiveTool, ReadsTheServersSineAndReportsAfterSeconds)
{
    const TScratchDir dir;
    const TToolRun run = RunMeasureTool(Tool, dir, {"--live", "--json", "--seconds", "2"});
    ASSERT_EQ(run.Status, 0) << run.Err;
    // Each line is a JSON value of its own; the last is the report.
    int status = 0;
    const std::string figures =
        RunCommand("python3 -c " +
                       ShellQuote("import json,sys\n"
                                  "*rows, report = [json.loads(line) for line in open(sys.argv[1])]\n"
                                  "levels = [r[c] for r in rows[" +
                                  std::to_string(SettledBlock) +
                                  ":] for c in ('left_db', 'right_db')]\n"
                                  "print(len(rows), report['files'][0]['blocks'], min(levels), max(levels))") +
                       " " + ShellQuote(dir.File("out.txt")),
                   status);
    ASSERT_EQ(status, 0) << figures;
    int rows = 0, blocks = 0;
    double lowest = 0, highest = 0;
    ASSERT_EQ(std::sscanf(figures.c_str(), "%d %d %lf %lf", &rows, &blocks, &lowest, &highest), 4) << figures;
    EXPECT_EQ(rows, 20);
    EXPECT_EQ(blocks, 20);
    EXPECT_NEAR(lowest, ToneLevelDb(), LevelToleranceDb);
    EXPECT_NEAR(highest, ToneLevelDb(), LevelToleranceDb);
}

TEST_F(LiveTool, AServerKilledWhileItCapturesEndsItWithStatus1WithinTwoSeconds)
{
    const TScratchDir dir;
    TBackgroundTool tool(dir, {"--live"});
    ASSERT_TRUE(tool.WaitForLines(CapturingLines)) << ReadText(tool.Err);
    const long startKiB = ResidentKiBOf(tool.Pid);
    const long startTicks = ProcessorTicks(tool.Pid);
    const auto start = Clock::now();
    ASSERT_TRUE(tool.WaitForLines(MeasuredLines)) << ReadText(tool.Err);
    const long endKiB = ResidentKiBOf(tool.Pid);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const double processor = (ProcessorTicks(tool.Pid) - startTicks) * Percent / sysconf(_SC_CLK_TCK) / seconds;

    const auto killing = Clock::now();
    ASSERT_TRUE(KillServer());
    const auto killed = Clock::now();
    while (tool.Running() && Clock::now() - killed < ExitWait)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_FALSE(tool.Running());
    const auto ms = [](Clock::duration d) {
        return static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(d).count());
    };
    const std::string err = ReadText(tool.Err);
    std::printf("live tool: resident %ld -> %ld KiB over %.1f s, processor %.2f %%; ended %lld ms after the kill "
                "began (the kill command took %lld ms), status %d: %s",
                startKiB, endKiB, seconds, processor, ms(tool.Ended - killing), ms(killed - killing),
                tool.Status.load(), err.c_str());

    EXPECT_EQ(tool.Status, 1);
    EXPECT_LE(tool.Ended - killing, LossLimit + (killed - killing));
    EXPECT_EQ(err.rfind("quimbrel-measure: default: lost while capturing: ", 0), 0u) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(ReadText(tool.Out).find("\nlive input default\n  duration "), std::string::npos);
    EXPECT_LT(endKiB - startKiB, GrowthLimitKiB);
    EXPECT_LT(processor, ProcessorLimitPercent);
}
