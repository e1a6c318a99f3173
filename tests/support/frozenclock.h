#pragma once
// Replaces the millisecond tick counter while the object lives, so that a
// test moves time forward by hand instead of sleeping.

#include <cstdint>

class TFrozenClock {
public:
    explicit TFrozenClock(uint32_t StartMs);
    ~TFrozenClock();
    TFrozenClock(const TFrozenClock&) = delete;
    TFrozenClock& operator=(const TFrozenClock&) = delete;

    void Advance(uint32_t Ms) { FNow += Ms; }
    uint32_t Now() const { return FNow; }

private:
    uint32_t FNow; // what GetTickCount returns, ms
};
