#include "platform/kernel/timer.h"

#include "platform/kernel/exception.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {}

TTimer::~TTimer()
{
    FOnTimer = nullptr;
    if (FPeer)
        FPeer->Stop();
}

void TTimer::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    UpdateTimer();
}

void TTimer::SetInterval(int Value)
{
    if (Value == FInterval)
        return;
    FInterval = Value;
    UpdateTimer();
}

void TTimer::SetOnTimer(TNotifyEvent Value)
{
    FOnTimer = std::move(Value);
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    // A timer without a handler or interval does not run.
    const bool run = FEnabled && FInterval > 0 && FOnTimer && !IsDestroying();
    if (!run) {
        if (FPeer)
            FPeer->Stop();
        return;
    }
    if (!FPeer)
        FPeer = CreateTimerPeer([this]() { Timer(); });
    FPeer->Stop();
    FPeer->Start(FInterval);
}

void TTimer::Timer()
{
    try {
        if (FEnabled && FOnTimer)
            FOnTimer(this);
    } catch (...) {
        HandleHandlerException(this);
    }
}
