#pragma once
// A timer component: OnTimer runs on the user-interface thread every Interval
// milliseconds while Enabled. Enabling a disabled timer starts a fresh period.

#include "platform/kernel/component.h"

#include <memory>

class TTimerPeer {
public:
    virtual ~TTimerPeer() = default;
    virtual void Start(int IntervalMs) = 0;
    virtual void Stop() = 0;
};

// The toolkit's timer; OnTick runs on the user-interface thread.
std::unique_ptr<TTimerPeer> CreateTimerPeer(std::function<void()> OnTick);

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int Interval() const { return FInterval; }   // milliseconds
    void SetInterval(int Value);
    TNotifyEvent OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value);

    // Runs OnTimer as a tick would (the peer calls this).
    void Timer();

private:
    void UpdateTimer();

    bool FEnabled = true;
    int FInterval = 1000;
    TNotifyEvent FOnTimer;
    std::unique_ptr<TTimerPeer> FPeer;
};
