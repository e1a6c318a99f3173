#pragma once
// Ctrl-C (SIGINT), SIGTERM and SIGHUP end a live run rather than the program:
// while a TStopSignal lives, such a signal only notes that a stop was asked
// for and wakes the capture stream's wait, so that the run can print its
// report. A second signal of the same kind ends the program as usual, so a
// run that does not stop can still be interrupted.
//
// ALSA's plugins start threads of their own, and a signal may be delivered to
// any thread that does not block it. So the constructor blocks the three
// signals in the calling thread, which every thread started later inherits,
// and one thread of ours takes them from a signalfd: nothing runs in a signal
// handler, and the watched stream is woken under a lock that Watch takes too.
// Make the object before the first ALSA call, on the thread that makes them.

#include <atomic>
#include <csignal>
#include <iterator>
#include <mutex>
#include <thread>

class TCaptureStream;

namespace measure {

class TStopSignal {
public:
    // The signals that ask a run to stop.
    static constexpr int Signals[] = {SIGINT, SIGTERM, SIGHUP};

    TStopSignal();
    ~TStopSignal();
    TStopSignal(const TStopSignal&) = delete;
    TStopSignal& operator=(const TStopSignal&) = delete;

    // Whether a stop was asked for since this object was made.
    bool Requested() const { return FRequested.load(); }

    // The stream whose wait a signal cuts short, or nullptr for none. Once
    // this returns, no signal touches the stream given before.
    void Watch(TCaptureStream* Stream);

private:
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

} // namespace measure
