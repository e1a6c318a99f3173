// The window's termination signals, each in a child process of its own (a
// signal is taken once per program): SIGTERM, SIGINT and SIGHUP close the main
// form the ordinary way; a second one while that close hangs acts as the
// default does; and the handler leaves errno as it found it.

#include "platform/forms/application.h"
#include "platform/forms/form.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr auto LongestWait = std::chrono::seconds(5);
constexpr int Closed = 0;
constexpr int NotClosed = 1;
const int TerminationSignals[] = {SIGTERM, SIGINT, SIGHUP};

// A shown main form whose close query runs Query.
TForm* ShowMainForm(std::function<void()> Query)
{
    auto* form = new TForm(&Application);
    Application.RegisterForm(form);
    form->SetOnCloseQuery([Query](TObject*, bool&) { Query(); });
    form->Show();
    Application.ProcessMessages();
    return form;
}

// Handles events until Done or the longest wait.
bool ProcessUntil(const std::function<bool()>& Done)
{
    const auto until = std::chrono::steady_clock::now() + LongestWait;
    while (!Done() && std::chrono::steady_clock::now() < until) {
        Application.ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return Done();
}

class ApplicationSignals : public ::testing::Test {
protected:
    void SetUp() override { GTEST_FLAG_SET(death_test_style, "threadsafe"); }
};

TEST_F(ApplicationSignals, EachClosesTheMainFormTheOrdinaryWay)
{
    for (const int signal : TerminationSignals) {
        EXPECT_EXIT(
            {
                bool asked = false;
                ShowMainForm([&] { asked = true; });
                kill(getpid(), signal);
                _exit(ProcessUntil([&] { return asked; }) ? Closed : NotClosed);
            },
            ::testing::ExitedWithCode(Closed), "")
            << "signal " << signal;
    }
}

TEST_F(ApplicationSignals, SecondOneDuringAHungCloseActsAsTheDefault)
{
    const std::pair<int, int> firstAndSecond[] = {{SIGINT, SIGINT}, {SIGTERM, SIGINT}, {SIGHUP, SIGTERM}};
    for (const auto& [first, second] : firstAndSecond) {
        EXPECT_EXIT(
            {
                ShowMainForm([second = second] {
                    kill(getpid(), second);
                    std::this_thread::sleep_for(LongestWait); // the close hangs
                    _exit(NotClosed);
                });
                kill(getpid(), first);
                ProcessUntil([] { return false; });
                _exit(NotClosed);
            },
            ::testing::KilledBySignal(second), "")
            << "signal " << first << ", then " << second;
    }
}

// The handler's only call that can fail is its write; with the socket it
// writes to gone, that write sets errno, which the handler must put back.
TEST_F(ApplicationSignals, HandlerKeepsErrno)
{
    EXPECT_EXIT(
        {
            ShowMainForm([] {});
            std::vector<int> sockets;
            for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
                const int fd = std::stoi(entry.path().filename().string());
                struct stat info = {};
                if (fd > STDERR_FILENO && fstat(fd, &info) == 0 && S_ISSOCK(info.st_mode))
                    sockets.push_back(fd);
            }
            for (const int fd : sockets)
                close(fd);
            errno = ENOENT;
            raise(SIGTERM);
            _exit(errno == ENOENT ? Closed : NotClosed);
        },
        ::testing::ExitedWithCode(Closed), "");
}

} // namespace
