#include "platform/win32/capturestream.h"
#include "platform/win32/waveindevices.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr unsigned BytesPerSample = 2;     // signed 16-bit
constexpr unsigned BuffersQueued = 5;      // half a second of slack for a late reader
constexpr unsigned BuffersPerSecond = 10;  // 100 ms buffers, as the window's blocks
// Read looks at the stream at least this often even when nothing comes.
constexpr DWORD PollTimeoutMilliseconds = 200;
const char* const NoInputText = "no input has come for 2 s";

} // namespace

struct TCaptureStream::TDevice {
    HWAVEIN WaveIn = nullptr;
    HANDLE DataEvent = nullptr;   // winmm signals it for every buffer it hands back
    HANDLE WakeEvent = nullptr;   // Wake signals it
    std::vector<std::vector<char>> Memory;  // one per header
    std::vector<WAVEHDR> Headers;           // prepared from Open to the end
    size_t Oldest = 0;            // the header that comes back next (reading thread)
    DWORD Taken = 0;              // bytes of it already read (reading thread)

    ~TDevice()
    {
        if (WaveIn) {
            waveInReset(WaveIn);
            for (WAVEHDR& header : Headers) {
                if (header.dwFlags & WHDR_PREPARED)
                    waveInUnprepareHeader(WaveIn, &header, sizeof header);
            }
            waveInClose(WaveIn);
        }
        if (DataEvent)
            CloseHandle(DataEvent);
        if (WakeEvent)
            CloseHandle(WakeEvent);
    }
};

int TCaptureStream::Open(const char* DeviceName, unsigned Channels, unsigned Rate,
                         std::unique_ptr<TCaptureStream>& Stream)
{
    TWaveInDeviceId deviceId = 0;
    if (!FindWaveInDevice(DeviceName, deviceId))
        return -static_cast<int>(MMSYSERR_BADDEVICEID);
    auto device = std::make_unique<TDevice>();
    device->DataEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    device->WakeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!device->DataEvent || !device->WakeEvent)
        return -static_cast<int>(MMSYSERR_NOMEM);
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(Channels);
    format.nSamplesPerSec = Rate;
    format.wBitsPerSample = BytesPerSample * 8;
    format.nBlockAlign = static_cast<WORD>(Channels * BytesPerSample);
    format.nAvgBytesPerSec = Rate * format.nBlockAlign;
    MMRESULT result = waveInOpen(&device->WaveIn, deviceId, &format, reinterpret_cast<DWORD_PTR>(device->DataEvent),
                                 0, CALLBACK_EVENT);
    if (result != MMSYSERR_NOERROR) {
        device->WaveIn = nullptr;
        return -static_cast<int>(result);
    }
    const DWORD bufferBytes = Rate / BuffersPerSecond * format.nBlockAlign;
    device->Memory.assign(BuffersQueued, std::vector<char>(bufferBytes));
    device->Headers.assign(BuffersQueued, WAVEHDR{});
    for (size_t i = 0; i < BuffersQueued; ++i) {
        device->Headers[i].lpData = device->Memory[i].data();
        device->Headers[i].dwBufferLength = bufferBytes;
        result = waveInPrepareHeader(device->WaveIn, &device->Headers[i], sizeof(WAVEHDR));
        if (result != MMSYSERR_NOERROR)
            return -static_cast<int>(result);
    }
    Stream.reset(new TCaptureStream(std::move(device), format.nBlockAlign));
    return 0;
}

TCaptureStream::TCaptureStream(std::unique_ptr<TDevice> Device, unsigned FrameBytes)
    : FDevice(std::move(Device)), FFrameBytes(FrameBytes)
{
}

TCaptureStream::~TCaptureStream() = default;

int TCaptureStream::Start()
{
    for (WAVEHDR& header : FDevice->Headers) {
        header.dwFlags &= ~WHDR_DONE;
        const MMRESULT result = waveInAddBuffer(FDevice->WaveIn, &header, sizeof header);
        if (result != MMSYSERR_NOERROR)
            return -static_cast<int>(result);
    }
    FDevice->Oldest = 0;
    FDevice->Taken = 0;
    const MMRESULT result = waveInStart(FDevice->WaveIn);
    if (result != MMSYSERR_NOERROR)
        return -static_cast<int>(result);
    FStarted = true;
    FMillisecondsWithoutInput = 0;
    return 0;
}

void TCaptureStream::Stop()
{
    // Reset hands every queued buffer back, done.
    waveInReset(FDevice->WaveIn);
    FStarted = false;
}

long TCaptureStream::TakeFromOldest(char* Target, unsigned long Frames)
{
    WAVEHDR& header = FDevice->Headers[FDevice->Oldest];
    const DWORD available = header.dwBytesRecorded - std::min(FDevice->Taken, header.dwBytesRecorded);
    const DWORD bytes = std::min<DWORD>(available / FFrameBytes, static_cast<DWORD>(Frames)) * FFrameBytes;
    std::memcpy(Target, header.lpData + FDevice->Taken, bytes);
    FDevice->Taken += bytes;
    if (FDevice->Taken + FFrameBytes > header.dwBytesRecorded) {
        // Empty (a buffer handed back without input counts as none): queue it again.
        header.dwFlags &= ~WHDR_DONE;
        header.dwBytesRecorded = 0;
        const MMRESULT result = waveInAddBuffer(FDevice->WaveIn, &header, sizeof header);
        if (result != MMSYSERR_NOERROR)
            return -static_cast<long>(result);
        FDevice->Oldest = (FDevice->Oldest + 1) % FDevice->Headers.size();
        FDevice->Taken = 0;
    }
    if (bytes > 0)
        FMillisecondsWithoutInput = 0;
    return static_cast<long>(bytes / FFrameBytes);
}

long TCaptureStream::WaitForInput()
{
    const HANDLE events[] = {FDevice->DataEvent, FDevice->WakeEvent};
    const DWORD waited = WaitForMultipleObjects(2, events, FALSE, PollTimeoutMilliseconds);
    if (waited == WAIT_TIMEOUT) {
        FMillisecondsWithoutInput += PollTimeoutMilliseconds;
        if (FMillisecondsWithoutInput >= LossAfterMilliseconds)
            return -NoInputError;
    }
    return 0;
}

long TCaptureStream::Read(void* Target, unsigned long Frames)
{
    if (!FStarted)
        return 0;
    if (FDevice->Headers[FDevice->Oldest].dwFlags & WHDR_DONE)
        return TakeFromOldest(static_cast<char*>(Target), Frames);
    return WaitForInput();
}

void TCaptureStream::Wake()
{
    SetEvent(FDevice->WakeEvent);
}

const char* TCaptureStream::ErrorText(int Error)
{
    if (Error == -NoInputError)
        return NoInputText;
    // One text per thread, as long as the next call on it.
    static thread_local std::string text;
    text = WaveInErrorText(static_cast<unsigned>(-Error));
    if (text.empty())
        text = "unknown error";
    return text.c_str();
}
