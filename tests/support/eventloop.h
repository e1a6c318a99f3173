#pragma once
// Running the application's event loop in tests that wait for real timers or
// for the capture thread: handle every pending event, sleep a millisecond and
// look again, up to a generous limit (never a timed assertion: the limit only
// turns a hang into a failure).

#include <functional>

namespace eventloop {

constexpr int DefaultLimitMs = 5000;

// Handles events until Done() or until LimitMs milliseconds have passed;
// returns Done().
bool RunUntil(const std::function<bool()>& Done, int LimitMs = DefaultLimitMs);

// Handles events for Ms milliseconds.
void RunFor(int Ms);

} // namespace eventloop
