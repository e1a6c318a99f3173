#include "tools/measure/stopsignal.h"

#include "capturestream.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <iterator>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <thread>
#include <unistd.h>

namespace measure {

struct TStopSignal::TState {
    // The signals that ask a run to stop.
    static constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};

    TState();
    ~TState();

    // The signal thread: takes the signals until FQuitFd is written.
    void TakeSignals();
    // A stop signal arrived: the first of its kind asks, a second ends the program.
    void Take(int Signal);

    sigset_t FPreviousMask{};              // the constructing thread's mask before
    struct sigaction FPreviousActions[std::size(Signals)]{}; // each signal's action before
    int FSignalFd = -1;                    // signalfd of the three signals
    int FQuitFd = -1;                      // eventfd that ends the signal thread
    std::atomic<bool> FRequested{false};   // set by the signal thread, read by any
    unsigned FTaken = 0;                   // bit per signal number taken once (signal thread)
    std::mutex FWatchLock;                 // guards FWatched against its stream's closing
    TCaptureStream* FWatched = nullptr;    // the stream to wake (under FWatchLock)
    std::thread FThread;                   // runs TakeSignals
};

namespace {

// The exit status a shell gives a program ended by a signal, less the signal's number.
constexpr int SignalExitStatusBase = 128;

sigset_t StopSignalSet()
{
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : TStopSignal::TState::Signals)
        sigaddset(&set, signal);
    return set;
}

// Ends the program by Signal as if it had never been caught: the default
// action, taken in this thread, which is the only one that unblocks it.
[[noreturn]] void EndByDefault(int Signal)
{
    std::signal(Signal, SIG_DFL);
    sigset_t one;
    sigemptyset(&one);
    sigaddset(&one, Signal);
    pthread_sigmask(SIG_UNBLOCK, &one, nullptr);
    raise(Signal);
    _exit(SignalExitStatusBase + Signal); // not reached: the default action of all three ends the program
}

} // namespace

TStopSignal::TState::TState()
{
    const sigset_t set = StopSignalSet();
    pthread_sigmask(SIG_BLOCK, &set, &FPreviousMask);
    // An ignored signal is never pending, so the signalfd would not see it:
    // the default action, blocked, lets it through. A SIGHUP that was ignored
    // (nohup) stays so.
    struct sigaction byDefault = {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    for (size_t i = 0; i < std::size(Signals); ++i) {
        sigaction(Signals[i], nullptr, &FPreviousActions[i]);
        if (Signals[i] != SIGHUP || FPreviousActions[i].sa_handler != SIG_IGN)
            sigaction(Signals[i], &byDefault, nullptr);
    }
    FSignalFd = signalfd(-1, &set, SFD_CLOEXEC);
    FQuitFd = eventfd(0, EFD_CLOEXEC);
    // Without them, the signals stay blocked and the program can still be
    // ended by SIGKILL; it cannot be stopped by Ctrl-C, which is better than
    // a handler that races with the stream's closing.
    if (FSignalFd >= 0 && FQuitFd >= 0)
        FThread = std::thread([this] { TakeSignals(); });
}

TStopSignal::TState::~TState()
{
    if (FThread.joinable()) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = write(FQuitFd, &one, sizeof one);
        FThread.join();
    }
    if (FSignalFd >= 0)
        close(FSignalFd);
    if (FQuitFd >= 0)
        close(FQuitFd);
    for (size_t i = 0; i < std::size(Signals); ++i)
        sigaction(Signals[i], &FPreviousActions[i], nullptr);
    pthread_sigmask(SIG_SETMASK, &FPreviousMask, nullptr);
}

TStopSignal::TStopSignal() : FState(std::make_unique<TState>())
{
}

TStopSignal::~TStopSignal() = default;

bool TStopSignal::Requested() const
{
    return FState->FRequested.load();
}

void TStopSignal::Watch(TCaptureStream* Stream)
{
    const std::lock_guard<std::mutex> lock(FState->FWatchLock);
    FState->FWatched = Stream;
}

void TStopSignal::TState::TakeSignals()
{
    pollfd fds[] = {{FSignalFd, POLLIN, 0}, {FQuitFd, POLLIN, 0}};
    for (;;) {
        if (poll(fds, std::size(fds), -1) < 0) {
            if (errno == EINTR)
                continue; // a debugger's stop and continue
            return;
        }
        if (fds[1].revents)
            return;
        signalfd_siginfo info{};
        if (read(FSignalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
            Take(static_cast<int>(info.ssi_signo));
    }
}

void TStopSignal::TState::Take(int Signal)
{
    const unsigned bit = 1u << Signal;
    if (FTaken & bit)
        EndByDefault(Signal);
    FTaken |= bit;
    FRequested.store(true);
    const std::lock_guard<std::mutex> lock(FWatchLock);
    if (FWatched)
        FWatched->Wake();
}

} // namespace measure
