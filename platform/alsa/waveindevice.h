#pragma once
// One open ALSA capture stream behind a wave-input handle. A capture thread
// fills the queued buffers in order and posts MM_WIM_DATA for each one it
// completes; every other call runs on the caller's thread. The queue, the
// fill count of its first buffer and the headers' flags are shared with the
// capture thread under FLock. How a posted notification reaches the program
// is told in platform/messages.h.
//
// The stream itself, and the rules by which it is lost, are TCaptureStream's
// (platform/alsa/capturestream.h). When it is lost the capture thread posts
// MM_WIM_LOST once and never touches the stream again; Start and AddBuffer
// answer with the error from then on, and the queued buffers wait for Reset.

#include "platform/alsa/capturestream.h"
#include "platform/alsa/mmsystem.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

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
    TWaveInDevice(std::unique_ptr<TCaptureStream> Stream, HWND Window, HWAVEIN Handle);

    // Asks the capture thread to act on FWantRunning/FQuit and waits until it has.
    void Request(std::unique_lock<std::mutex>& Lock, bool Wait);

    // The capture thread.
    void CaptureLoop();
    void ApplyRequests();
    bool ReadyToCapture() const;

    // Hands the first queued buffer back with what it holds (lock held).
    void ReturnFirst();
    void ReturnAll();
    // Gives the stream up for good and says so once (lock held).
    void Lose(MMRESULT Error);

    std::unique_ptr<TCaptureStream> FStream; // read by the capture thread only, woken from any
    HWND FWindow = nullptr;    // receives MM_WIM_DATA
    HWAVEIN FHandle = nullptr; // the caller's name for this device, sent with every notification
    unsigned FFrameBytes = 0;  // bytes per frame, all channels

    std::mutex FLock;
    std::condition_variable FChanged;
    std::deque<WAVEHDR*> FQueue;  // queued buffers, the one being filled first
    uint32_t FFirstFilled = 0;    // bytes already captured into FQueue.front()
    bool FWantRunning = false;    // Start asked for, Stop/Reset not since
    bool FQuit = false;           // the capture thread must end
    bool FStreamRunning = false;  // the stream is started (capture thread only)
    MMRESULT FLostError = 0;      // 0 while the stream works; the error that lost it
    uint64_t FRequested = 0;      // number of requests made
    uint64_t FAcknowledged = 0;   // number of requests the capture thread has acted on
    std::thread FThread;
};
