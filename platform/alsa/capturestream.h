#pragma once
// One ALSA capture stream of signed 16-bit interleaved samples, and the rules
// by which it counts as lost. The window's capture thread (TWaveInDevice) and
// quimbrel-measure's live input both read through it; it knows nothing of
// either, and nothing of Qt.
//
// A stream is lost when it cannot go on: an error other than an overrun, a
// recovery that fails, the PCM reporting itself disconnected, or overruns
// that follow one another with no input between them (what a plugin whose
// server has gone may answer to every recovery, growing with each round).
// Read then returns the error, and the owner must not read again: a plugin
// whose server has gone may answer anything with more work.
//
// Threads: Start, Stop and Read are called from one thread at a time (the
// reading thread); Wake from any thread, and from a signal handler.
//
// Errors are ALSA's: negative errno numbers.

#include <alsa/asoundlib.h>

#include <functional>
#include <memory>
#include <poll.h>
#include <vector>

// The calls an open stream makes to ALSA and to poll, ALSA's own by default.
// A test replaces some of them to play a device's answers (overruns, a
// suspend, a disconnection) that only real hardware or a server would give.
struct TCaptureCalls {
    std::function<snd_pcm_sframes_t(snd_pcm_t*, void*, snd_pcm_uframes_t)> Readi = snd_pcm_readi;
    std::function<int(snd_pcm_t*)> Prepare = snd_pcm_prepare;
    std::function<int(snd_pcm_t*)> Start = snd_pcm_start;
    std::function<int(snd_pcm_t*)> Drop = snd_pcm_drop;
    std::function<int(snd_pcm_t*, int, int)> Recover = snd_pcm_recover;
    std::function<snd_pcm_state_t(snd_pcm_t*)> State = snd_pcm_state;
    std::function<snd_pcm_sframes_t(snd_pcm_t*)> AvailUpdate = snd_pcm_avail_update;
    std::function<int(snd_pcm_t*, pollfd*, unsigned, unsigned short*)> PollRevents = snd_pcm_poll_descriptors_revents;
    std::function<int(pollfd*, nfds_t, int)> Poll = ::poll;
};

class TCaptureStream {
public:
    // Opens PcmName for capture of Channels channels at Rate frames per second.
    // Returns 0 and the stream, or a negative error.
    static int Open(const char* PcmName, unsigned Channels, unsigned Rate, std::unique_ptr<TCaptureStream>& Stream);
    ~TCaptureStream();

    TCaptureStream(const TCaptureStream&) = delete;
    TCaptureStream& operator=(const TCaptureStream&) = delete;

    // Bytes per frame, all channels.
    unsigned FrameBytes() const { return FFrameBytes; }

    // Prepares and starts the stream: 0, or a negative error.
    int Start();
    // Drops what the stream holds and stops it.
    void Stop();

    // Reads at most Frames frames into Target, waiting at most a poll period
    // for input: the count read, 0 when there was nothing (woken, waited,
    // recovered from an overrun), or the negative error that lost the stream.
    long Read(void* Target, unsigned long Frames);

    // Makes a Read that waits, or the next one, return at once.
    // Async-signal-safe.
    void Wake();

    // ALSA's text for a negative error.
    static const char* ErrorText(int Error);

    // Keeps ALSA's own messages off standard error, for a program that tells
    // failures itself (capturemessages.cpp).
    static void SilenceLibraryMessages();

    // Replaces the calls the stream makes from now on (tests). Not while a
    // Read runs.
    void SetCalls(TCaptureCalls Calls) { FCalls = std::move(Calls); }

private:
    explicit TCaptureStream(snd_pcm_t* Pcm, unsigned FrameBytes);

    static int Configure(snd_pcm_t* Pcm, unsigned Channels, unsigned Rate);
    // One block if the device has that period exactly, else a short one.
    static int SetPeriod(snd_pcm_t* Pcm, snd_pcm_hw_params_t* Params, unsigned Rate);
    int PreparePolling();

    long RecoverFromOverrun(long Error);
    long WaitForInput();
    // How long the rest of a period takes to come, from what the stream holds.
    int RestOfPeriodMilliseconds();
    // Empties the wake descriptor if the poll that filled Wake found it signalled.
    bool DrainWake(pollfd& Wake);
    // Whether the stream's descriptors, as the last poll left them, mean input.
    bool InputSignalled();

    snd_pcm_t* FPcm = nullptr;
    unsigned FFrameBytes = 0;            // bytes per frame, all channels
    int FWakeFd = -1;                    // eventfd that interrupts the poll in Read
    std::vector<pollfd> FPollFds;        // the stream's descriptors, then FWakeFd
    int FOverrunsWithoutInput = 0;       // overruns since frames last arrived (reading thread)
    unsigned FRate = 1;                  // frames per second, > 0
    snd_pcm_uframes_t FPeriodFrames = 0; // the device period the stream was given, frames
    TCaptureCalls FCalls;                // ALSA's calls, or a test's (reading thread)
};
