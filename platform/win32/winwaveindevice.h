#pragma once
// One open winmm wave input behind the program's wave-input calls
// (platform/alsa/mmsystem.h). winmm notifies the device's own hidden window
// (CALLBACK_WINDOW): MM_WIM_OPEN, MM_WIM_DATA and MM_WIM_CLOSE arrive as
// window messages on the user-interface thread, and the window hands each
// on to the program's window (Target) as a posted message, with the
// program's header in place of winmm's. There is no capture thread of our own.
//
// Each program header has a winmm header of its own that shares its sample
// buffer (the two records differ in layout); the winmm header's dwUser
// points back to the program's.
//
// winmm does not say when its device goes away (a USB card pulled out, the
// sound server gone): its buffers simply stop coming back. A device that has
// kept buffers for several block times while started counts as lost: it
// posts MM_WIM_LOST once, and refuses Start and AddBuffer from then on.
// Everything here runs on the user-interface thread.

#include "platform/alsa/mmsystem.h"

#include "platform/win32/winapi.h"

#include <map>
#include <memory>
#include <string>

class TWinWaveInDevice {
public:
    // Opens the winmm device DeviceId for Format; 0 and the device, or winmm's error.
    static MMRESULT Open(unsigned DeviceId, const WAVEFORMATEX& Format, HWND Target,
                         std::unique_ptr<TWinWaveInDevice>& Device);
    ~TWinWaveInDevice();

    TWinWaveInDevice(const TWinWaveInDevice&) = delete;
    TWinWaveInDevice& operator=(const TWinWaveInDevice&) = delete;

    HWAVEIN Handle() const { return FWaveIn; }

    MMRESULT Prepare(WAVEHDR* Header);
    MMRESULT Unprepare(WAVEHDR* Header);
    MMRESULT AddBuffer(WAVEHDR* Header);
    MMRESULT Start();
    MMRESULT Stop();
    MMRESULT Reset();
    // Closes the winmm device and hands on every notification it left,
    // the close last (made here when winmm posted none).
    MMRESULT Close();

private:
    TWinWaveInDevice(W32HWND Window, HWND Target, uint32_t BytesPerSecond);

    static LRESULT CALLBACK WindowProc(W32HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);
    // Hands one of winmm's notifications on to the program's window.
    void Forward(UINT Msg, LPARAM LParam);
    // Checks, while started, that buffers keep coming back.
    void Watch();

    W32HWND FWindow = nullptr;   // receives winmm's notifications
    HWND FTarget = nullptr;      // the program's window, which the notifications are for
    HWAVEIN FWaveIn = nullptr;   // winmm's handle, which is also the program's
    uint32_t FBytesPerSecond = 1; // of the format opened, 1 or more
    uint32_t FBlockMs = 0;       // duration of the longest prepared buffer, in milliseconds
    std::map<WAVEHDR*, std::unique_ptr<W32WAVEHDR>> FHeaders; // winmm's header of each prepared one
    int FQueued = 0;             // buffers at the device
    bool FStarted = false;       // between Start and Stop/Reset
    bool FClosed = false;        // winmm's close notification has been handed on
    ULONGLONG FLastReturn = 0;   // GetTickCount64 of the last returned buffer or of the start
    MMRESULT FLostError = 0;     // 0 while the device works; the error that lost it
};
