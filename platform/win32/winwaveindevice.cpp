#include "platform/win32/winwaveindevice.h"

#include <algorithm>

namespace {

const wchar_t* const kClassName = L"QuimbrelWaveIn";
constexpr UINT_PTR kWatchTimer = 1;
constexpr UINT kWatchIntervalMs = 250;
// A started device that has returned no buffer for this many block times
// (and at least kLostAfterMinMs) is lost.
constexpr uint32_t kLostAfterBlocks = 10;
constexpr uint32_t kLostAfterMinMs = 2000;
constexpr uint32_t kMsPerSecond = 1000;
// What a lost device reports: winmm's "no driver" error, as the device has gone.
constexpr MMRESULT kLostError = MMSYSERR_NODRIVER;

void RegisterWindowClass(WNDPROC Procedure)
{
    static const bool registered = [Procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

} // namespace

MMRESULT TWinWaveInDevice::Open(unsigned DeviceId, const WAVEFORMATEX& Format, HWND Target,
                                std::unique_ptr<TWinWaveInDevice>& Device)
{
    RegisterWindowClass(WindowProc);
    W32HWND window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, MessageOnlyParent(), nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
    if (!window)
        return MMSYSERR_NOMEM;
    std::unique_ptr<TWinWaveInDevice> device(new TWinWaveInDevice(window, Target, Format.nAvgBytesPerSec));
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(device.get()));
    W32WAVEFORMATEX format{};
    format.wFormatTag = Format.wFormatTag;
    format.nChannels = Format.nChannels;
    format.nSamplesPerSec = Format.nSamplesPerSec;
    format.nAvgBytesPerSec = Format.nAvgBytesPerSec;
    format.nBlockAlign = Format.nBlockAlign;
    format.wBitsPerSample = Format.wBitsPerSample;
    format.cbSize = 0;
    const MMRESULT result = ::waveInOpen(&device->FWaveIn, DeviceId, &format, reinterpret_cast<DWORD_PTR>(window), 0,
                                         CALLBACK_WINDOW);
    if (result != MMSYSERR_NOERROR) {
        device->FWaveIn = nullptr; // winmm need not leave the handle alone when it fails
        return result;             // the device's destructor takes its window down
    }
    Device = std::move(device);
    return MMSYSERR_NOERROR;
}

TWinWaveInDevice::TWinWaveInDevice(W32HWND Window, HWND Target, uint32_t BytesPerSecond)
    : FWindow(Window), FTarget(Target), FBytesPerSecond(std::max<uint32_t>(1, BytesPerSecond))
{
}

TWinWaveInDevice::~TWinWaveInDevice()
{
    if (FWaveIn && !FClosed) {
        W32waveInReset(FWaveIn);
        for (auto& [header, own] : FHeaders)
            ::waveInUnprepareHeader(FWaveIn, own.get(), sizeof(W32WAVEHDR));
        W32waveInClose(FWaveIn);
    }
    SetWindowLongPtrW(FWindow, GWLP_USERDATA, 0);
    DestroyWindow(FWindow);
}

MMRESULT TWinWaveInDevice::Prepare(WAVEHDR* Header)
{
    auto own = std::make_unique<W32WAVEHDR>();
    own->lpData = Header->lpData;
    own->dwBufferLength = Header->dwBufferLength;
    own->dwUser = reinterpret_cast<DWORD_PTR>(Header);
    const MMRESULT result = ::waveInPrepareHeader(FWaveIn, own.get(), sizeof(W32WAVEHDR));
    if (result != MMSYSERR_NOERROR)
        return result;
    // The longest buffer sets how long the device may keep one.
    FBlockMs = std::max<uint32_t>(FBlockMs, static_cast<uint32_t>(uint64_t{Header->dwBufferLength} * kMsPerSecond /
                                                                  FBytesPerSecond));
    FHeaders[Header] = std::move(own);
    Header->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT TWinWaveInDevice::Unprepare(WAVEHDR* Header)
{
    const auto found = FHeaders.find(Header);
    if (found == FHeaders.end())
        return MMSYSERR_NOERROR;
    if (Header->dwFlags & WHDR_INQUEUE)
        return WAVERR_STILLPLAYING;
    if (!FClosed)
        ::waveInUnprepareHeader(FWaveIn, found->second.get(), sizeof(W32WAVEHDR));
    FHeaders.erase(found);
    Header->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT TWinWaveInDevice::AddBuffer(WAVEHDR* Header)
{
    if (FLostError)
        return FLostError;
    const auto found = FHeaders.find(Header);
    if (found == FHeaders.end())
        return WAVERR_UNPREPARED;
    found->second->dwFlags &= ~WHDR_DONE;
    found->second->dwBytesRecorded = 0;
    const MMRESULT result = ::waveInAddBuffer(FWaveIn, found->second.get(), sizeof(W32WAVEHDR));
    if (result != MMSYSERR_NOERROR)
        return result;
    Header->dwFlags = (Header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    Header->dwBytesRecorded = 0;
    ++FQueued;
    return MMSYSERR_NOERROR;
}

MMRESULT TWinWaveInDevice::Start()
{
    if (FLostError)
        return FLostError;
    const MMRESULT result = W32waveInStart(FWaveIn);
    if (result != MMSYSERR_NOERROR)
        return result;
    FStarted = true;
    FLastReturn = GetTickCount64();
    SetTimer(FWindow, kWatchTimer, kWatchIntervalMs, nullptr);
    return MMSYSERR_NOERROR;
}

MMRESULT TWinWaveInDevice::Stop()
{
    FStarted = false;
    KillTimer(FWindow, kWatchTimer);
    return W32waveInStop(FWaveIn);
}

MMRESULT TWinWaveInDevice::Reset()
{
    FStarted = false;
    KillTimer(FWindow, kWatchTimer);
    return W32waveInReset(FWaveIn);
}

MMRESULT TWinWaveInDevice::Close()
{
    Reset();
    const MMRESULT result = W32waveInClose(FWaveIn);
    if (result != MMSYSERR_NOERROR)
        return result;
    // What winmm posted up to its close (the buffers the reset returned), in order.
    W32MSG message{};
    while (PeekMessageW(&message, FWindow, MM_WIM_OPEN, MM_WIM_DATA, PM_REMOVE))
        Forward(message.message, message.lParam);
    if (!FClosed)
        Forward(MM_WIM_CLOSE, 0);
    return MMSYSERR_NOERROR;
}

LRESULT CALLBACK TWinWaveInDevice::WindowProc(W32HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    auto* device = reinterpret_cast<TWinWaveInDevice*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
    if (!device)
        return DefWindowProcW(Window, Msg, WParam, LParam);
    switch (Msg) {
    case MM_WIM_OPEN:
    case MM_WIM_DATA:
    case MM_WIM_CLOSE: device->Forward(Msg, LParam); return 0;
    case WM_TIMER: device->Watch(); return 0;
    default: return DefWindowProcW(Window, Msg, WParam, LParam);
    }
}

void TWinWaveInDevice::Forward(UINT Msg, LPARAM LParam)
{
    if (FClosed)
        return;
    const auto program = reinterpret_cast<WPARAM>(FWaveIn);
    if (Msg == MM_WIM_CLOSE) {
        FClosed = true;
        ::PostMessage(FTarget, MM_WIM_CLOSE, program, 0);
        return;
    }
    if (Msg != MM_WIM_DATA) {
        ::PostMessage(FTarget, Msg, program, 0);
        return;
    }
    const auto* own = reinterpret_cast<const W32WAVEHDR*>(LParam);
    auto* header = own ? reinterpret_cast<WAVEHDR*>(own->dwUser) : nullptr;
    if (!header || !FHeaders.count(header) || !(header->dwFlags & WHDR_INQUEUE))
        return;
    header->dwBytesRecorded = own->dwBytesRecorded;
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    --FQueued;
    FLastReturn = GetTickCount64();
    ::PostMessage(FTarget, MM_WIM_DATA, program, reinterpret_cast<LPARAM>(header));
}

void TWinWaveInDevice::Watch()
{
    const ULONGLONG limit = std::max<ULONGLONG>(kLostAfterMinMs, static_cast<ULONGLONG>(FBlockMs) * kLostAfterBlocks);
    if (!FStarted || FLostError || FQueued == 0 || GetTickCount64() - FLastReturn < limit)
        return;
    FLostError = kLostError;
    FStarted = false;
    KillTimer(FWindow, kWatchTimer);
    ::PostMessage(FTarget, MM_WIM_LOST, reinterpret_cast<WPARAM>(FWaveIn), static_cast<LPARAM>(FLostError));
}
