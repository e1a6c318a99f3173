#pragma once
// The window's three reference marks, and how far a level sits from each.

#include <string>

namespace measure {

struct TMark {
    const char* Name;          // the signal type, as beside the meter
    double BelowFullScaledB;   // how far below 0 dB the mark is, dB
};

inline constexpr TMark Marks[] = {{"Resurs/Meteor", 2.5}, {"NOAA", 3.0}, {"Okean/SICH", 12.0}};

// A level this little below a mark needs no change; any level above it does,
// since the level should equal the mark but not exceed it.
constexpr double MarkTolerancedB = 0.5;

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
// is more than 0.5 dB below, otherwise nothing.
TAdvice AdviseFor(double LeveldB, const TMark& Mark);

} // namespace measure
