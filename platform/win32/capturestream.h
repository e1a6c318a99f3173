#pragma once
// One winmm wave-input stream of signed 16-bit interleaved samples, with the
// same shape and loss rules as the ALSA stream (platform/alsa/capturestream.h)
// that quimbrel-measure reads on Linux. winmm fills a ring of queued buffers
// and signals an event for each one it hands back; Read copies out of the
// oldest and queues it again once it is empty.
//
// A stream is lost when winmm refuses to queue a buffer again or to start,
// or when no input has come for LossAfterMilliseconds while the stream runs
// (a device that was unplugged, or Wine's sound server gone, may just fall
// silent). Read then returns the error, and the owner must not read again.
//
// Threads: Start, Stop and Read are called from one thread at a time (the
// reading thread); Wake from any thread, and from a console control handler.
//
// Errors are negative: -MMRESULT, or -NoInputError. Windows' own types stay
// in capturestream.cpp.

#include <memory>

class TCaptureStream {
public:
    // No buffer came back for this long while started: the input is lost.
    static constexpr unsigned LossAfterMilliseconds = 2000;
    // The error Read returns then; above every MMRESULT.
    static constexpr int NoInputError = 0x10000;

    // Opens DeviceName ("default" for the wave mapper, a device number, or a
    // device's name as winmm gives it) for capture of Channels channels at Rate
    // frames per second. Returns 0 and the stream, or a negative error.
    static int Open(const char* DeviceName, unsigned Channels, unsigned Rate, std::unique_ptr<TCaptureStream>& Stream);
    ~TCaptureStream();

    TCaptureStream(const TCaptureStream&) = delete;
    TCaptureStream& operator=(const TCaptureStream&) = delete;

    // Bytes per frame, all channels.
    unsigned FrameBytes() const { return FFrameBytes; }

    // Queues every buffer and starts the stream: 0, or a negative error.
    int Start();
    // Stops the stream and takes every buffer back.
    void Stop();

    // Reads at most Frames frames into Target, waiting at most a poll period
    // for input: the count read, 0 when there was nothing (woken, waited), or
    // the negative error that lost the stream.
    long Read(void* Target, unsigned long Frames);

    // Makes a Read that waits, or the next one, return at once. Safe from any
    // thread.
    void Wake();

    // winmm's text for a negative error (waveInGetErrorText), or ours for
    // NoInputError.
    static const char* ErrorText(int Error);

    // winmm writes nothing of its own to standard error: nothing to silence.
    static void SilenceLibraryMessages() {}

private:
    struct TDevice;  // the wave-in handle, its events and its buffers

    TCaptureStream(std::unique_ptr<TDevice> Device, unsigned FrameBytes);

    // Copies what the oldest buffer holds; queues it again once it is empty.
    // Returns frames copied, or a negative error.
    long TakeFromOldest(char* Target, unsigned long Frames);
    long WaitForInput();

    std::unique_ptr<TDevice> FDevice;
    unsigned FFrameBytes = 0;            // bytes per frame, all channels
    bool FStarted = false;               // between Start and Stop (reading thread)
    unsigned FMillisecondsWithoutInput = 0; // waited since a buffer last came back (reading thread)
};
