#pragma once
// Ctrl-C (SIGINT) and SIGTERM end a live run rather than the program: while a
// TStopSignal lives, either signal only notes that a stop was asked for and
// wakes the capture stream's wait, so that the run can print its report. A
// second signal of the same kind ends the program as usual, so a run that
// does not stop can still be interrupted.

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

    // The stream whose wait a signal cuts short, or nullptr for none. The
    // stream must stay open until it is replaced here.
    void Watch(TCaptureStream* Stream);
};

} // namespace measure
