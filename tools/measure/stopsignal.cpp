#include "tools/measure/stopsignal.h"

#include "capturestream.h"

#include <atomic>
#include <csignal>
#include <iterator>

namespace measure {

namespace {

// Shared with the signal handler, which may only touch lock-free values.
volatile std::sig_atomic_t StopAsked = 0;
std::atomic<TCaptureStream*> WatchedStream{nullptr};
static_assert(std::atomic<TCaptureStream*>::is_always_lock_free, "the handler reads the stream without a lock");

constexpr int StopSignals[] = {SIGINT, SIGTERM};
struct sigaction PreviousActions[std::size(StopSignals)];

void AskToStop(int)
{
    StopAsked = 1;
    if (TCaptureStream* stream = WatchedStream.load())
        stream->Wake();
}

} // namespace

TStopSignal::TStopSignal()
{
    StopAsked = 0;
    struct sigaction action = {};
    action.sa_handler = AskToStop;
    sigemptyset(&action.sa_mask);
    // The first signal asks; the handler then goes, so a second one ends the program.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (size_t i = 0; i < std::size(StopSignals); ++i)
        sigaction(StopSignals[i], &action, &PreviousActions[i]);
}

TStopSignal::~TStopSignal()
{
    for (size_t i = 0; i < std::size(StopSignals); ++i)
        sigaction(StopSignals[i], &PreviousActions[i], nullptr);
    WatchedStream.store(nullptr);
}

bool TStopSignal::Requested() const
{
    return StopAsked != 0;
}

void TStopSignal::Watch(TCaptureStream* Stream)
{
    WatchedStream.store(Stream);
}

} // namespace measure
