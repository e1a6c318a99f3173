// The stop signal on the Windows console: Ctrl-C and Ctrl-Break reach a
// console control handler, which Windows runs on a thread of its own. The
// first one asks the run to stop and wakes the capture stream's wait; the
// handler then answers no more, so a second one ends the program as usual.

#include "tools/measure/stopsignal.h"

#include "capturestream.h"

#include <windows.h>

#include <atomic>
#include <mutex>

namespace measure {

namespace {

std::atomic<bool> StopAsked{false};
std::mutex WatchLock;                    // guards WatchedStream against its stream's closing
TCaptureStream* WatchedStream = nullptr; // the stream to wake (under WatchLock)

BOOL WINAPI AskToStop(DWORD Event)
{
    if (Event != CTRL_C_EVENT && Event != CTRL_BREAK_EVENT)
        return FALSE;
    if (StopAsked.exchange(true))
        return FALSE;  // the second one: the default handler ends the program
    const std::lock_guard<std::mutex> lock(WatchLock);
    if (WatchedStream)
        WatchedStream->Wake();
    return TRUE;
}

} // namespace

// The console keeps the handler's state itself; nothing is kept per object.
struct TStopSignal::TState {
};

TStopSignal::TStopSignal()
{
    StopAsked = false;
    SetConsoleCtrlHandler(AskToStop, TRUE);
}

TStopSignal::~TStopSignal()
{
    SetConsoleCtrlHandler(AskToStop, FALSE);
    Watch(nullptr);
}

bool TStopSignal::Requested() const
{
    return StopAsked.load();
}

void TStopSignal::Watch(TCaptureStream* Stream)
{
    const std::lock_guard<std::mutex> lock(WatchLock);
    WatchedStream = Stream;
}

} // namespace measure
