#include "support/frozenclock.h"

#include "platform/sysutils.h"

TFrozenClock::TFrozenClock(uint32_t StartMs) : FNow(StartMs)
{
    SetTickCountSource([this]() { return FNow; });
}

TFrozenClock::~TFrozenClock()
{
    SetTickCountSource(nullptr);
}
