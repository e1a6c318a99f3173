#include "soundserverwindow.h"

#include "audio/powertodb.h"
#include "displays/led.h"
#include "platform/forms/application.h"
#include "platform/widgets/button.h"
#include "platform/kernel/sysutils.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

namespace {

constexpr uint32_t IdlePumpMilliseconds = 10;
constexpr long KibiByte = 1024;
constexpr double MillisecondsPerSecond = 1000.0;
constexpr double Percent = 100.0;

bool RunCommand(const char* Variable)
{
    const char* command = std::getenv(Variable);
    return command && *command && std::system(command) == 0;
}

double ProcessorMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * MillisecondsPerSecond + t.tv_usec / MillisecondsPerSecond; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

void SoundServerWindow::SetUp()
{
    ASSERT_TRUE(std::getenv("QUIMBREL_SERVER_KILL") && std::getenv("QUIMBREL_SERVER_START"))
        << "run by tests/system/pulseaudio-test.sh or pipewire-test.sh";
    Application.SetMessageBoxHook([this](const std::string& Text, const std::string&, int) {
        Boxes.push_back(Text);
        return IDOK;
    });
}

void SoundServerWindow::TearDown()
{
    Form.reset();
    if (ServerDown) {
        EXPECT_TRUE(StartServer());
    }
    Application.SetMessageBoxHook(nullptr);
}

bool SoundServerWindow::Running() const
{
    return Form->ButtonRun->Caption() == "&Stop" && Form->LED1->Colour() == clLime;
}

bool SoundServerWindow::Stopped() const
{
    return Form->ButtonRun->Caption() == "&Start" && Form->LED1->Colour() == clGreen;
}

bool SoundServerWindow::KillServer()
{
    ServerDown = true;
    return RunCommand("QUIMBREL_SERVER_KILL");
}

bool SoundServerWindow::StartServer()
{
    ServerDown = !RunCommand("QUIMBREL_SERVER_START");
    return !ServerDown;
}

SoundServerWindow::TUsage SoundServerWindow::Measure(uint32_t Milliseconds)
{
    TUsage usage;
    usage.StartKiB = ResidentKiB();
    const double startProcessor = ProcessorMilliseconds();
    const uint32_t start = GetTickCount();
    while (GetTickCount() - start < Milliseconds) {
        Application.ProcessMessages();
        Sleep(IdlePumpMilliseconds);
    }
    const uint32_t elapsed = GetTickCount() - start;
    usage.ProcessorPercent = (ProcessorMilliseconds() - startProcessor) * Percent / elapsed;
    usage.EndKiB = ResidentKiB();
    return usage;
}

long SoundServerWindow::ResidentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / KibiByte);
}

float SoundServerWindow::ToneLevelDb()
{
    constexpr float ToneAmplitude = 0.891251f; // 1 dB below full scale
    return PowerTodB(0.5f * ToneAmplitude * ToneAmplitude);
}
