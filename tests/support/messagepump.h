#pragma once
// Waiting for posted notifications in tests: dispatch what has arrived, then
// look again, a bounded number of times (never a timed assertion).

#include <functional>

namespace messagepump {

// Dispatches posted messages until Done() is true or MaxRounds rounds (about a
// millisecond each) have passed; returns Done().
bool PumpUntil(const std::function<bool()>& Done, int MaxRounds = 10000);

// Dispatches for a few rounds, for tests that check that nothing arrives.
void PumpFor(int Rounds);

} // namespace messagepump
