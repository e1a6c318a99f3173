#pragma once
// One open ALSA capture stream behind a wave-input handle. A capture thread
// fills the queued buffers in order and posts MM_WIM_DATA for each one it
// completes; every other call runs on the caller's thread. The queue, the
// fill count of its first buffer and the headers' flags are shared with the
// capture thread under FLock.

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
    void Start();
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
    // was nothing (woken, waited, recovered from an overrun), -1 when the
    // device has gone.
    long CaptureInto(char* Target, unsigned long Frames);
    bool WaitForInput();
    // Empties the wake descriptor if the last poll found it signalled.
    bool DrainWake();
    // Whether the stream's descriptors, as the last poll left them, mean input.
    bool InputSignalled();

    // Hands the first queued buffer back with what it holds (lock held).
    void ReturnFirst();
    void ReturnAll();

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
    bool FGone = false;           // the stream failed for good; nothing is delivered
    uint64_t FRequested = 0;      // number of requests made
    uint64_t FAcknowledged = 0;   // number of requests the capture thread has acted on
    std::thread FThread;
};
