#include "platform/forms/application.h"
#include "platform/kernel/timer.h"

#include "platform/win32/winguard.h"
#include "platform/win32/winapi.h"

#include <map>

namespace {

// Every timer of the program ticks on one hidden window; a timer's number is its key.
std::map<UINT_PTR, std::function<void()>>& Ticks()
{
    static std::map<UINT_PTR, std::function<void()>> ticks;
    return ticks;
}

LRESULT CALLBACK TimerWindowProc(W32HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg != WM_TIMER)
        return DefWindowProcW(Window, Msg, WParam, LParam);
    const auto found = Ticks().find(WParam);
    if (found != Ticks().end()) {
        const std::function<void()> tick = found->second; // the handler may stop its own timer
        Guarded(nullptr, tick);
    }
    return 0;
}

W32HWND TimerWindow()
{
    static const W32HWND window = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = TimerWindowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"QuimbrelTimers";
        RegisterClassExW(&windowClass);
        return CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, MessageOnlyParent(), nullptr,
                               windowClass.hInstance, nullptr);
    }();
    return window;
}

class TWinTimerPeer : public TTimerPeer {
public:
    explicit TWinTimerPeer(std::function<void()> OnTick) : FNumber(NextNumber())
    {
        Ticks()[FNumber] = std::move(OnTick);
    }
    ~TWinTimerPeer() override
    {
        Stop();
        Ticks().erase(FNumber);
    }
    TWinTimerPeer(const TWinTimerPeer&) = delete;
    TWinTimerPeer& operator=(const TWinTimerPeer&) = delete;

    void Start(int IntervalMs) override
    {
        // Setting a running timer again starts a fresh period.
        SetTimer(TimerWindow(), FNumber, static_cast<UINT>(IntervalMs > 0 ? IntervalMs : USER_TIMER_MINIMUM), nullptr);
    }
    void Stop() override { KillTimer(TimerWindow(), FNumber); }

private:
    static UINT_PTR NextNumber()
    {
        static UINT_PTR next = 1;
        return next++;
    }

    UINT_PTR FNumber;
};

} // namespace

std::unique_ptr<TTimerPeer> CreateTimerPeer(std::function<void()> OnTick)
{
    Application.Peer();
    return std::make_unique<TWinTimerPeer>(std::move(OnTick));
}
