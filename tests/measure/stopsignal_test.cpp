// quimbrel-measure's stop signals: blocked in every thread started after the
// stop object (as ALSA's plugin threads are), each of SIGINT, SIGTERM and
// SIGHUP asks to stop and wakes the watched stream, and a second signal of
// the same kind ends the program as the signal does.

#include "tools/measure/stopsignal.h"

#include "platform/alsa/capturestream.h"
#include "support/alsaconfig.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <pthread.h>
#include <thread>
#include <unistd.h>
#include <vector>

using measure::TStopSignal;

namespace {

const int StopSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr auto LongestWait = std::chrono::seconds(5);

bool WaitForStop(const TStopSignal& Stop)
{
    const auto until = std::chrono::steady_clock::now() + LongestWait;
    while (!Stop.Requested() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return Stop.Requested();
}

bool Blocked(int Signal)
{
    sigset_t mask;
    pthread_sigmask(SIG_BLOCK, nullptr, &mask);
    return sigismember(&mask, Signal) == 1;
}

TEST(StopSignal, IsBlockedInEveryThreadStartedWhileItLives)
{
    {
        const TStopSignal stop;
        std::vector<bool> blocked;
        std::thread([&] {
            for (const int signal : StopSignals)
                blocked.push_back(Blocked(signal));
        }).join();
        EXPECT_EQ(blocked, (std::vector<bool>{true, true, true}));
    }
    for (const int signal : StopSignals)
        EXPECT_FALSE(Blocked(signal)) << "signal " << signal << " after the run";
}

TEST(StopSignal, EachSignalAsksToStopAndWakesTheWatchedStream)
{
    alsaconfig::UseCaptureSamples(std::vector<int16_t>(44100 * 2, 0));
    for (const int signal : StopSignals) {
        SCOPED_TRACE(signal);
        std::unique_ptr<TCaptureStream> stream;
        ASSERT_EQ(TCaptureStream::Open("default", 2, 44100, stream), 0);
        TStopSignal stop;
        stop.Watch(stream.get());
        EXPECT_FALSE(stop.Requested());
        kill(getpid(), signal);
        ASSERT_TRUE(WaitForStop(stop));
        // The stream's next wait finds its wake descriptor signalled.
        bool woken = false;
        TCaptureCalls calls;
        calls.Readi = [](snd_pcm_t*, void*, snd_pcm_uframes_t) -> snd_pcm_sframes_t { return -EAGAIN; };
        calls.Poll = [&](pollfd* Fds, nfds_t Count, int) {
            const int ready = ::poll(Fds, Count, 0);
            woken = Fds[Count - 1].revents & POLLIN;
            return ready;
        };
        stream->SetCalls(calls);
        std::vector<int16_t> block(2 * 2);
        EXPECT_EQ(stream->Read(block.data(), 2), 0);
        EXPECT_TRUE(woken);
        stop.Watch(nullptr);
    }
}

TEST(StopSignal, SecondSignalOfTheSameKindEndsTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    for (const int signal : StopSignals) {
        EXPECT_EXIT(
            {
                TStopSignal stop;
                kill(getpid(), signal);
                if (WaitForStop(stop)) {
                    kill(getpid(), signal == SIGINT ? SIGTERM : SIGINT);
                    std::this_thread::sleep_for(std::chrono::milliseconds(100));
                    kill(getpid(), signal);
                }
                std::this_thread::sleep_for(LongestWait);
                _exit(0);
            },
            ::testing::KilledBySignal(signal), "")
            << "signal " << signal;
    }
}

} // namespace
