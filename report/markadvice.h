#pragma once
// How far a level sits from each of the window's reference marks.

#include "analysis/marks.h"

#include <string>

namespace measure {

// The marks are the window's own (analysis/marks.h).
using ::MarkTolerancedB;
using ::Marks;
using ::TMark;

enum class TAdviceKind { akOk, akRaise, akLower };

struct TAdvice {
    TAdviceKind Kind = TAdviceKind::akOk;
    double BydB = 0.0; // how much to raise or lower, dB, rounded to 0.1; 0 when ok

    // "raise by 1.8 dB", "lower by 0.4 dB" or "ok (within 0.5 dB)".
    std::string Text() const;
    // "ok", "raise" or "lower".
    const char* KindName() const;
};

// What to do so that LeveldB (dB, 0 = full-scale sine) equals the mark:
// lower it when it is above the mark (by 0.05 dB or more), raise it when it
// is more than the mark's tolerance below, otherwise nothing.
TAdvice AdviseFor(double LeveldB, const TMark& Mark);

} // namespace measure
