#include "report/markadvice.h"

#include <cmath>
#include <cstdio>

namespace measure {

namespace {

constexpr double TenthsPerdB = 10.0;

} // namespace

TAdvice AdviseFor(double LeveldB, const TMark& Mark)
{
    // How far the level is below the mark, to the 0.1 dB that is shown.
    const double below = std::round((Mark.LeveldB() - LeveldB) * TenthsPerdB) / TenthsPerdB;
    // The level should equal the mark but not exceed it.
    if (below < 0)
        return TAdvice{TAdviceKind::akLower, -below};
    if (below > Mark.TolerancedB)
        return TAdvice{TAdviceKind::akRaise, below};
    return TAdvice{};
}

std::string TAdvice::Text() const
{
    char text[64];
    if (Kind == TAdviceKind::akOk)
        std::snprintf(text, sizeof text, "ok (within %.1f dB)", MarkTolerancedB);
    else
        std::snprintf(text, sizeof text, "%s by %.1f dB", KindName(), BydB);
    return text;
}

const char* TAdvice::KindName() const
{
    switch (Kind) {
    case TAdviceKind::akRaise:
        return "raise";
    case TAdviceKind::akLower:
        return "lower";
    case TAdviceKind::akOk:
        break;
    }
    return "ok";
}

} // namespace measure
