// The RMS lanes with 512-bit vectors: the 8 blocks' sums of one channel in
// one register.
#include "report/rmslanes.h"
#include "report/x86/statsx86.h"

#include "analysis/rmsmeasure.h"
#include "analysis/squaresum.h"

#include <array>
#include <immintrin.h>

namespace measure {

// Everything below is compiled for AVX-512 and is reached only when
// x86paths.cpp says the processor runs it; GCC and clang each have their own way to say
// which functions may use it. GCC 12 takes the deliberately undefined upper
// halves inside some AVX-512 intrinsics for uninitialised values.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512bw,avx512vl,avx512dq"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512vl,avx512dq")
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace {

constexpr size_t FramesPerStep = 4;    // frames loaded from each block at once: 128 bits
constexpr size_t FramesPerPermute = 2; // frames of all 8 blocks gathered into one 512-bit register
constexpr int DwordsPerQuarter = 4;    // 32-bit frames in each 128-bit quarter of a register
constexpr int SecondSource = 16;       // vpermt2d's index of the second register's first dword
constexpr int BitsPerWord = 16;
constexpr int BitsPerDword = 32;

// One channel of the 8 blocks: lane k holds block k's sum as Bias + Sum, and
// the biased end of its range.
struct TChain {
    __m512d Biased;
    __m512d Bias;
    __m512d End;
};

// The squares of one channel of the 8 blocks for each frame of a step.
struct TStepSquares {
    __m512d Frame[FramesPerStep];
    const __m512d& operator[](size_t F) const { return Frame[F]; }
    __m512d& operator[](size_t F) { return Frame[F]; }
};

// The indices that gather frames Frame and Frame + 1 of the 8 blocks from
// the two registers of 4 loaded quarters (blocks 0-3 and 4-7): dword 2k is
// block k's frame Frame, dword 2k + 1 its frame Frame + 1.
__m512i FramePairIndex(int Frame)
{
    alignas(64) std::array<int32_t, 16> index{};
    for (int j = 0; j < 16; ++j) {
        const int block = j / 2;
        const int source = block < 4 ? 0 : SecondSource;
        index[static_cast<size_t>(j)] = source + (block % 4) * DwordsPerQuarter + Frame + j % 2;
    }
    return _mm512_load_si512(index.data());
}

// The offsets as 32 words, in the order FramePairIndex gathers the samples.
__m512i OffsetWords(const uint16_t* Offsets)
{
    alignas(64) std::array<uint16_t, 32> words{};
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = Offsets[i / 4 * SamplesPerFrame + i % 2];
    return _mm512_load_si512(words.data());
}

// One addition for the lanes in Crossed, whose new sum (in Next) has left its
// range: TSquareSum's slow step, with the same result, in vector lanes; the
// other lanes take Next. The slow step rounds Sum + Square to single
// precision correctly. The double sum D of the two is that single's value
// rounded once more, which is harmless unless D falls exactly half way
// between two singles while Sum + Square does not: Fast2Sum gives what D
// missed, and its sign then decides the rounding.
[[gnu::always_inline]] inline TChain CrossRanges(TChain Chain, __m512d Next, __m512d Squares, __mmask8 Crossed)
{
    constexpr int bitsBelowSingle = 52 - 23; // fraction bits of a double that a single lacks
    const __m512d sum = _mm512_sub_pd(Chain.Biased, Chain.Bias); // a single, exactly
    const __m512d total = _mm512_add_pd(sum, Squares);
    const __m512d missed = _mm512_sub_pd(_mm512_min_pd(sum, Squares),
                                         _mm512_sub_pd(total, _mm512_max_pd(sum, Squares)));
    const __m512i below = _mm512_and_si512(_mm512_castpd_si512(total),
                                           _mm512_set1_epi64((int64_t{1} << bitsBelowSingle) - 1));
    const __mmask8 halfWay = _mm512_cmpeq_epi64_mask(below, _mm512_set1_epi64(int64_t{1} << (bitsBelowSingle - 1)));
    const __m512d zero = _mm512_setzero_pd();
    const __mmask8 up = halfWay & _mm512_cmp_pd_mask(missed, zero, _CMP_GT_OQ);
    const __mmask8 down = halfWay & _mm512_cmp_pd_mask(missed, zero, _CMP_LT_OQ);
    __m256 rounded = _mm512_cvt_roundpd_ps(total, _MM_FROUND_TO_NEAREST_INT | _MM_FROUND_NO_EXC);
    const __m256 roundedUp = _mm512_cvt_roundpd_ps(total, _MM_FROUND_TO_POS_INF | _MM_FROUND_NO_EXC);
    const __m256 roundedDown = _mm512_cvt_roundpd_ps(total, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
    rounded = _mm256_mask_mov_ps(_mm256_mask_mov_ps(rounded, up, roundedUp), down, roundedDown);
    // TSquareSum::RangeOf: Bias = 1.5 x 2^(e+29) and End = Bias + 2^(e+1) for
    // a sum in [2^e, 2^(e+1)).
    const __m512d newSum = _mm512_cvtps_pd(rounded);
    const __m512d exponent = _mm512_getexp_pd(newSum);
    const __m512d bias = _mm512_scalef_pd(_mm512_set1_pd(TSquareSum::BiasMantissa),
                                          _mm512_add_pd(exponent, _mm512_set1_pd(TSquareSum::BiasExponentAbove)));
    const __m512d rangeWidth = _mm512_scalef_pd(_mm512_set1_pd(1.0), _mm512_add_pd(exponent, _mm512_set1_pd(1.0)));
    const __m512d end = _mm512_add_pd(bias, rangeWidth);
    return TChain{_mm512_mask_blend_pd(Crossed, Next, _mm512_add_pd(bias, newSum)),
                  _mm512_mask_blend_pd(Crossed, Chain.Bias, bias), _mm512_mask_blend_pd(Crossed, Chain.End, end)};
}

// Redoes a step from the chain as it was before, addition by addition,
// taking the slow step only for a lane and frame that leaves its range.
[[gnu::noinline]] TChain RedoStep(TChain Chain, const TStepSquares& Squares, size_t Frames)
{
    for (size_t f = 0; f < Frames; ++f) {
        const __m512d next = _mm512_add_pd(Chain.Biased, Squares[f]);
        const __mmask8 crossed = _mm512_cmp_pd_mask(next, Chain.End, _CMP_GE_OQ);
        if (crossed != 0)
            Chain = CrossRanges(Chain, next, Squares[f], crossed);
        else
            Chain.Biased = next;
    }
    return Chain;
}

// Adds a step's squares to a chain with one double addition per lane and
// frame. A sum only grows, so a lane that left its range on the way ends at
// or above its range's end; only then is the step redone.
[[gnu::always_inline]] inline void AddStep(TChain& Chain, const TStepSquares& Squares, size_t Frames)
{
    __m512d biased = Chain.Biased;
    for (size_t f = 0; f < Frames; ++f)
        biased = _mm512_add_pd(biased, Squares[f]);
    const __mmask8 crossed = _mm512_cmp_pd_mask(biased, Chain.End, _CMP_GE_OQ);
    if (crossed != 0) [[unlikely]]
        Chain = RedoStep(Chain, Squares, Frames);
    else
        Chain.Biased = biased;
}

// The squares of frames Frame (Second false) or Frame + 1 of one channel,
// from the 32-bit squares that vpmaddwd left in the dwords of each block's qword.
[[gnu::always_inline]] inline __m512d FrameSquares(__m512i Squares, bool Second)
{
    const __m512i wide = Second ? _mm512_srli_epi64(Squares, BitsPerDword)
                                : _mm512_and_si512(Squares, _mm512_set1_epi64(0xFFFFFFFF));
    return _mm512_cvtepi64_pd(wide); // exact: a square is at most 2^30
}

// Adds Count (1 to 4) frames from Start on, from each of the 8 blocks.
[[gnu::always_inline]] inline void AddFrames(TChain& Left, TChain& Right, const int16_t* Samples, size_t FrameCount,
                                             size_t Start, size_t Count, __m512i Offsets,
                                             const __m512i (&Index)[2])
{
    const auto mask = static_cast<__mmask8>((1u << Count) - 1);
    const auto quarter = [&](size_t Block) {
        return _mm_maskz_loadu_epi32(mask, Samples + (Block * FrameCount + Start) * SamplesPerFrame);
    };
    __m512i low = _mm512_zextsi128_si512(quarter(0));
    low = _mm512_inserti32x4(low, quarter(1), 1);
    low = _mm512_inserti32x4(low, quarter(2), 2);
    low = _mm512_inserti32x4(low, quarter(3), 3);
    __m512i high = _mm512_zextsi128_si512(quarter(4));
    high = _mm512_inserti32x4(high, quarter(5), 1);
    high = _mm512_inserti32x4(high, quarter(6), 2);
    high = _mm512_inserti32x4(high, quarter(7), 3);
    // vpmaddwd of the samples with themselves, the other channel's word
    // cleared, leaves each sample's square in its frame's dword.
    const __m512i leftWords = _mm512_set1_epi32(0xFFFF);
    TStepSquares left{}, right{};
    for (size_t f = 0; f < Count; f += FramesPerPermute) {
        const __m512i frames = _mm512_sub_epi16(_mm512_permutex2var_epi32(low, Index[f / 2], high), Offsets);
        const __m512i leftSquares = _mm512_madd_epi16(_mm512_and_si512(frames, leftWords), frames);
        const __m512i rightOnly = _mm512_srli_epi32(frames, BitsPerWord);
        const __m512i rightSquares = _mm512_madd_epi16(rightOnly, rightOnly);
        left[f] = FrameSquares(leftSquares, false);
        right[f] = FrameSquares(rightSquares, false);
        left[f + 1] = FrameSquares(leftSquares, true);
        right[f + 1] = FrameSquares(rightSquares, true);
    }
    AddStep(Left, left, Count);
    AddStep(Right, right, Count);
}

} // namespace

void RmsLanesAvx512(const int16_t* Samples, size_t FrameCount, const uint16_t* Offsets, TStereoPower* Powers)
{
    const TSquareSum::TRange start = TSquareSum::RangeOf(RmsSumStart);
    const TChain fresh{_mm512_set1_pd(start.Bias + RmsSumStart), _mm512_set1_pd(start.Bias), _mm512_set1_pd(start.End)};
    TChain left = fresh;
    TChain right = fresh;
    const __m512i offsets = OffsetWords(Offsets);
    const __m512i index[2]{FramePairIndex(0), FramePairIndex(FramesPerPermute)};
    size_t frame = 0;
    for (; frame + FramesPerStep <= FrameCount; frame += FramesPerStep)
        AddFrames(left, right, Samples, FrameCount, frame, FramesPerStep, offsets, index);
    if (frame < FrameCount)
        AddFrames(left, right, Samples, FrameCount, frame, FrameCount - frame, offsets, index);

    alignas(64) std::array<double, RmsLaneBlocks> leftBiased{}, leftBias{}, rightBiased{}, rightBias{};
    _mm512_store_pd(leftBiased.data(), left.Biased);
    _mm512_store_pd(leftBias.data(), left.Bias);
    _mm512_store_pd(rightBiased.data(), right.Biased);
    _mm512_store_pd(rightBias.data(), right.Bias);
    for (size_t b = 0; b < RmsLaneBlocks; ++b) {
        const auto leftSum = static_cast<float>(leftBiased[b] - leftBias[b]);
        const auto rightSum = static_cast<float>(rightBiased[b] - rightBias[b]);
        Powers[b] = TStereoPower{SquareSumToPower(leftSum, FrameCount), SquareSumToPower(rightSum, FrameCount)};
    }
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC diagnostic pop
#pragma GCC pop_options
#endif

} // namespace measure
