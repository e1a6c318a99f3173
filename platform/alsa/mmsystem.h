#pragma once
// Wave input with the calls of the Windows multimedia system: open the default
// capture device, queue buffers, start, stop, reset, close. Notifications go to
// a hidden window as posted messages (MM_WIM_OPEN, MM_WIM_DATA, MM_WIM_CLOSE,
// and this platform's own MM_WIM_LOST) with wParam = the device handle and
// lParam = the header for MM_WIM_DATA, the error for MM_WIM_LOST.
//
// Result codes: 0 for success, otherwise a positive error number of the
// capture system (the errno family); waveInGetErrorText gives its text.

#include "platform/kernel/messages.h"
#include "platform/riff/mmio.h"

#include <cstdint>

using MMRESULT = uint32_t;

// The requested sample format; 18 bytes as in a WAV file's format record.
#pragma pack(push, 1)
struct tWAVEFORMATEX {
    uint16_t wFormatTag;      // 1 = PCM
    uint16_t nChannels;       // 1 or more
    uint32_t nSamplesPerSec;  // frames per second
    uint32_t nAvgBytesPerSec; // nSamplesPerSec × nBlockAlign
    uint16_t nBlockAlign;     // bytes per frame
    uint16_t wBitsPerSample;  // bits per sample of one channel
    uint16_t cbSize;          // bytes of extension that follow; 0 for PCM
};
#pragma pack(pop)
static_assert(sizeof(tWAVEFORMATEX) == 18, "the format record is 18 bytes");
using WAVEFORMATEX = tWAVEFORMATEX;

// One buffer travelling between the program and the device.
struct wavehdr_tag {
    char* lpData = nullptr;        // first byte of the buffer
    uint32_t dwBufferLength = 0;   // capacity in bytes
    uint32_t dwBytesRecorded = 0;  // bytes filled when the device returns it
    uint32_t dwUser = 0;           // the program's own value; the device leaves it alone
    uint32_t dwFlags = 0;          // WHDR_ flags below
    uint32_t dwLoops = 0;          // unused by input
    wavehdr_tag* lpNext = nullptr; // unused; kept for the record's usual shape
    uintptr_t reserved = 0;        // unused; kept for the record's usual shape
};
using WAVEHDR = wavehdr_tag;

constexpr uint32_t WHDR_DONE = 0x00000001;     // the device has returned the buffer
constexpr uint32_t WHDR_PREPARED = 0x00000002; // waveInPrepareHeader was called
constexpr uint32_t WHDR_INQUEUE = 0x00000010;  // queued at the device

// An open device. Handles are never reused, so a notification can always be
// told apart from those of a device closed earlier.
struct HWAVEIN__;
using HWAVEIN = HWAVEIN__*;

constexpr unsigned WAVE_MAPPER = static_cast<unsigned>(-1); // the system's default input
constexpr uint32_t CALLBACK_WINDOW = 0x00010000;           // notify by posting to a window

constexpr unsigned MM_WIM_OPEN = 0x3BE;  // 958
constexpr unsigned MM_WIM_CLOSE = 0x3BF; // 959
constexpr unsigned MM_WIM_DATA = 0x3C0;  // 960
// The stream was lost while capturing (the sound server died, the card went):
// posted once, after which the device captures nothing and refuses Start and
// AddBuffer with the same error. Queued buffers come back with the reset.
constexpr unsigned MM_WIM_LOST = 0x3FE;  // 1022

// Opens the default capture device for Format and posts MM_WIM_OPEN to
// Callback. The device is the ALSA PCM that CaptureInputName
// (platform/alsa/captureinput.h) gives. DeviceId must be WAVE_MAPPER or 0, Flags CALLBACK_WINDOW.
// On failure *Handle stays untouched and nothing is posted.
MMRESULT waveInOpen(HWAVEIN* Handle, unsigned DeviceId, const WAVEFORMATEX* Format, HWND Callback,
                    uintptr_t Instance, uint32_t Flags);
MMRESULT waveInPrepareHeader(HWAVEIN Handle, WAVEHDR* Header, uint32_t HeaderSize);
// Refused while the header is queued.
MMRESULT waveInUnprepareHeader(HWAVEIN Handle, WAVEHDR* Header, uint32_t HeaderSize);
// Queues a prepared header; it comes back exactly once, with MM_WIM_DATA,
// full, or with what it holds when capture is stopped or reset.
MMRESULT waveInAddBuffer(HWAVEIN Handle, WAVEHDR* Header, uint32_t HeaderSize);
// Fails with the stream's error when the stream cannot start or was lost.
MMRESULT waveInStart(HWAVEIN Handle);
// Stops capture; the buffer being filled comes back when it holds data,
// the empty ones stay queued.
MMRESULT waveInStop(HWAVEIN Handle);
// Stops capture and returns every queued buffer.
MMRESULT waveInReset(HWAVEIN Handle);
// Returns any buffer still queued, closes the device and posts MM_WIM_CLOSE.
// The handle is invalid afterwards.
MMRESULT waveInClose(HWAVEIN Handle);
// The text for a result code (of an open, or of a lost stream), followed by
// " (device NAME)" once an open has tried the PCM NAME, cut to fit Size bytes with its terminating zero.
MMRESULT waveInGetErrorText(MMRESULT Error, char* Text, unsigned Size);
