#pragma once
// One open ALSA capture stream behind a wave-input handle. A capture thread
// fills the queued buffers in order and posts MM_WIM_DATA for each one it
// completes; every other call runs on the caller's thread. The queue, the
// fill count of its first buffer and the headers' flags are shared with the
// capture thread under FLock. How a posted notification reaches the program
// is told in platform/messages.h.
//
// A stream is lost when it cannot go on: an error other than an overrun, a
// recovery that fails, the PCM reporting itself disconnected, or overruns
// that follow one another with no input between them (what a plugin whose
// server has gone may answer to every recovery, growing with each round). The
// capture thread then posts MM_WIM_LOST once and never touches the stream
// again; Start and AddBuffer answer with the error from then on, and the
// queued buffers wait for Reset.

#include "platform/alsa/mmsystem.h"

#include <alsa/asoundlib.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class TWaveInDevice {
public:
    // Opens PcmName for capture in Format and starts the (idle) capture
    // thread; its notifications to Window carry Handle. Returns 0 and the
    // device, or a positive error number.
    static MMRESULT Open(const char* PcmName, const WAVEFORMATEX& Format, HWND Window, HWAVEIN Handle,
                         std::unique_ptr<TWaveInDevice>& Device);
    // Stops the capture thread and closes the stream; queued buffers are dropped
    // without notification (Reset first to get them back).
    ~TWaveInDevice();

    TWaveInDevice(const TWaveInDevice&) = delete;
    TWaveInDevice& operator=(const TWaveInDevice&) = delete;

    HWND Window() const { return FWindow; }

    MMRESULT Prepare(WAVEHDR* Header);
    MMRESULT Unprepare(WAVEHDR* Header);
    MMRESULT AddBuffer(WAVEHDR* Header);
    // 0, or the error that ended the stream (now or before).
    MMRESULT Start();
    void Stop();
    void Reset();

private:
    TWaveInDevice(snd_pcm_t* Pcm, HWND Window, HWAVEIN Handle, unsigned FrameBytes);

    static int Configure(snd_pcm_t* Pcm, const WAVEFORMATEX& Format);
    int PreparePolling();

    // Asks the capture thread to act on FWantRunning/FQuit and waits until it has.
    void Request(std::unique_lock<std::mutex>& Lock, bool Wait);
    void Wake();

    // The capture thread.
    void CaptureLoop();
    void ApplyRequests();
    bool ReadyToCapture() const;
    int StartStream();
    // Reads at most Frames frames into Target: the count read, 0 when there
    // was nothing (woken, waited, recovered from an overrun), or the negative
    // error that lost the stream.
    long CaptureInto(char* Target, unsigned long Frames);
    long RecoverFromOverrun(long Error);
    long WaitForInput();
    // Empties the wake descriptor if the last poll found it signalled.
    bool DrainWake();
    // Whether the stream's descriptors, as the last poll left them, mean input.
    bool InputSignalled();

    // Hands the first queued buffer back with what it holds (lock held).
    void ReturnFirst();
    void ReturnAll();
    // Gives the stream up for good and says so once (lock held).
    void Lose(MMRESULT Error);

    snd_pcm_t* FPcm = nullptr;
    HWND FWindow = nullptr;    // receives MM_WIM_DATA
    HWAVEIN FHandle = nullptr; // the caller's name for this device, sent with every notification
    unsigned FFrameBytes = 0;  // bytes per frame, all channels
    int FWakeFd = -1;          // eventfd that interrupts the capture thread's poll
    std::vector<pollfd> FPollFds; // the stream's descriptors, then FWakeFd

    std::mutex FLock;
    std::condition_variable FChanged;
    std::deque<WAVEHDR*> FQueue;  // queued buffers, the one being filled first
    uint32_t FFirstFilled = 0;    // bytes already captured into FQueue.front()
    bool FWantRunning = false;    // Start asked for, Stop/Reset not since
    bool FQuit = false;           // the capture thread must end
    bool FStreamRunning = false;  // the stream is started (capture thread only)
    MMRESULT FLostError = 0;      // 0 while the stream works; the error that lost it
    int FOverrunsWithoutInput = 0; // overruns since frames last arrived (capture thread only)
    uint64_t FRequested = 0;      // number of requests made
    uint64_t FAcknowledged = 0;   // number of requests the capture thread has acted on
    std::thread FThread;
};
