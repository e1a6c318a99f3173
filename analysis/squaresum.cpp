#include "analysis/squaresum.h"

#include <cmath>

namespace {

// Doubles carry 52 fraction bits, singles 23: a double of exponent e+29
// steps by 2^(e+29-52) = 2^(e-23), the step of singles of exponent e.
constexpr int BiasExponentAbove = 52 - 23;
constexpr double BiasMantissa = 1.5; // keeps Bias + Sum inside one binary range of doubles

} // namespace

TSquareSum::TRange TSquareSum::RangeOf(float Sum)
{
    int exponent = 0;
    std::frexp(Sum, &exponent); // Sum = m x 2^exponent with m in [0.5, 1)
    const int rangeExponent = exponent - 1; // Sum in [2^rangeExponent, 2^(rangeExponent+1))
    const double bias = std::ldexp(BiasMantissa, rangeExponent + BiasExponentAbove);
    return TRange{bias, bias + std::ldexp(1.0, rangeExponent + 1)};
}
