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
// On Windows, Ctrl-C and Ctrl-Break reach a console control handler instead.

#include <memory>

class TCaptureStream;

namespace measure {

class TStopSignal {
public:
    TStopSignal();
    ~TStopSignal();
    TStopSignal(const TStopSignal&) = delete;
    TStopSignal& operator=(const TStopSignal&) = delete;

    // Whether a stop was asked for since this object was made.
    bool Requested() const;

    // The stream whose wait a signal cuts short, or nullptr for none. Once
    // this returns, no signal touches the stream given before.
    void Watch(TCaptureStream* Stream);

    // What the system's side keeps: the blocked signals and the thread that
    // takes them here (stopsignal.cpp), the console's control handler on
    // Windows (platform/win32/consolestopsignal.cpp).
    struct TState;

private:
    std::unique_ptr<TState> FState;
};

} // namespace measure
