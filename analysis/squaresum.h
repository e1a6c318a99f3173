#pragma once
// A single-precision running sum of integer squares, rounded to single
// precision after every addition, computed quickly and bit for bit.

#include <cstdint>

// The sum starts at a given single value (the RMS measure starts at 1e-8) and
// each Add(Square) makes it float(Sum + Square), rounded to nearest, ties to
// even, exactly as if the addition were worked in extended precision and the
// result stored as single.
//
// The obvious way, a long double addition and a conversion per sample, costs
// three dependent operations per sample. Here the sum is held in a double as
// Bias + Sum, where Bias = 1.5 x 2^(e+29) for the binary range [2^e, 2^(e+1))
// that Sum lies in. Every double near Bias is a multiple of 2^(e-23), which is
// exactly the spacing of singles in that range, and Bias / 2^(e-23) is even,
// so one double addition Bias + Sum + Square rounds the new sum to the nearest
// single of the same range with the same tie rule. Squares are never negative,
// so the sum only grows; when it reaches the next range (2^(e+1) or more) the
// spacing doubles, and that addition is redone the slow way and a new bias
// chosen. That happens at most a few dozen times per block.
class TSquareSum {
public:
    explicit TSquareSum(float Start) { Rebias(Start); }

    // Adds Square (0 to 2^30) and rounds the sum to single precision.
    void Add(int32_t Square)
    {
        const double next = FBiasedSum + static_cast<double>(Square);
        if (next >= FRangeEnd) [[unlikely]]
            AddAcrossRange(Square);
        else
            FBiasedSum = next;
    }

    // The sum as single precision.
    float Sum() const { return static_cast<float>(FBiasedSum - FBias); }

    // The bias of the binary range that Sum lies in, and the biased end of
    // that range: what a caller needs that keeps many such sums side by side
    // in vector registers, each held as Bias + Sum and compared with End.
    struct TRange {
        double Bias = 0.0;
        double End = 0.0;
    };
    static TRange RangeOf(float Sum);

    // float(Sum + Square), rounded once, to nearest, ties to even: the slow
    // step, in double arithmetic alone, so that every processor gives the
    // same bits (a long double is a double on 32-bit ARM, and 128 bits on arm64).
    static float RoundedSum(float Sum, double Square);

    // Doubles carry 52 fraction bits, singles 23: a double of exponent e+29
    // steps by 2^(e+29-52) = 2^(e-23), the step of singles of exponent e.
    static constexpr int BiasExponentAbove = 52 - 23;
    static constexpr double BiasMantissa = 1.5; // keeps Bias + Sum inside one binary range of doubles

private:

    // Starts a new binary range at Sum. Kept inline, and RangeOf free of
    // this object, so that a sum held in a local stays in registers.
    void Rebias(float Sum)
    {
        const TRange range = RangeOf(Sum);
        FBias = range.Bias;
        FRangeEnd = range.End;
        FBiasedSum = range.Bias + Sum;
    }

    // The slow, general addition, used when the sum leaves its range.
    void AddAcrossRange(int32_t Square) { Rebias(RoundedSum(Sum(), Square)); }

    double FBias = 0.0;      // 1.5 x 2^(e+29) for the current range [2^e, 2^(e+1)) of the sum
    double FRangeEnd = 0.0;  // FBias + 2^(e+1): a biased sum at or above it has left the range
    double FBiasedSum = 0.0; // FBias + the sum; the sum is always a single-precision value
};
