#include "support/frozenclock.h"

#include "platform/kernel/sysutils.h"

TFrozenClock::TFrozenClock(uint32_t StartMs) : FNow(StartMs)
{
    SetTickCountSource([this]() { return FNow; });
}

TFrozenClock::~TFrozenClock()
{
    SetTickCountSource(nullptr);
}
