#include "analysis/squaresum.h"

#include <cmath>

TSquareSum::TRange TSquareSum::RangeOf(float Sum)
{
    int exponent = 0;
    std::frexp(Sum, &exponent); // Sum = m x 2^exponent with m in [0.5, 1)
    const int rangeExponent = exponent - 1; // Sum in [2^rangeExponent, 2^(rangeExponent+1))
    const double bias = std::ldexp(BiasMantissa, rangeExponent + BiasExponentAbove);
    return TRange{bias, bias + std::ldexp(1.0, rangeExponent + 1)};
}
