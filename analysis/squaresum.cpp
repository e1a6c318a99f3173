#include "analysis/squaresum.h"

#include <algorithm>
#include <cmath>
#include <limits>

TSquareSum::TRange TSquareSum::RangeOf(float Sum)
{
    int exponent = 0;
    std::frexp(Sum, &exponent); // Sum = m x 2^exponent with m in [0.5, 1)
    const int rangeExponent = exponent - 1; // Sum in [2^rangeExponent, 2^(rangeExponent+1))
    const double bias = std::ldexp(BiasMantissa, rangeExponent + BiasExponentAbove);
    return TRange{bias, bias + std::ldexp(1.0, rangeExponent + 1)};
}

float TSquareSum::RoundedSum(float Sum, double Square)
{
    // The double total is the true sum rounded once; rounding it to single
    // again goes wrong only when it lands exactly half way between two
    // singles while the true sum does not. Fast2Sum gives what the total
    // missed, exactly, and its sign then decides.
    const double sum = Sum;
    const double total = sum + Square;
    const double missed = std::min(sum, Square) - (total - std::max(sum, Square));
    const auto rounded = static_cast<float>(total);
    if (missed == 0.0 || static_cast<double>(rounded) == total)
        return rounded;
    const float other = std::nextafter(rounded, total > rounded ? std::numeric_limits<float>::infinity() : 0.0f);
    const bool halfWay = total - static_cast<double>(rounded) == static_cast<double>(other) - total;
    if (!halfWay)
        return rounded;
    return missed > 0.0 ? std::max(rounded, other) : std::min(rounded, other);
}
