#include "tools/measure/rmslanes.h"

#include "analysis/rmsmeasure.h"
#include "analysis/squaresum.h"

#include <array>
#include <immintrin.h>

namespace measure {

bool RmsLanesAvailable()
{
    // The run-time library also checks that the system saves the 512-bit registers.
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vl");
}

// Everything below is compiled for AVX-512 and is reached only when
// RmsLanesAvailable says so.
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512vl")
// GCC 12 takes the deliberately undefined upper halves inside some AVX-512
// intrinsics for uninitialised values.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace {

constexpr size_t ChainLanes = 8;                    // doubles per 512-bit register
constexpr size_t Chains = 2;                        // registers: blocks 0-3 and 4-7
constexpr size_t Lanes = ChainLanes * Chains;       // one per channel of each block
constexpr size_t BlocksPerChain = ChainLanes / SamplesPerFrame;
constexpr size_t FramesPerLoad = 4;                 // frames in the 128 bits loaded from each block
constexpr size_t FramesPerPermute = 2;              // frames of all 8 blocks in one 512-bit register
constexpr int DwordsPerQuarter = 4;                 // 32-bit frames in each 128-bit quarter
constexpr int SecondSource = 16;                    // vpermt2d's index of the second register's first dword

// One chain of lanes: each lane's sum held as Bias + Sum, and the biased end of its range.
struct TChain {
    __m512d Biased;
    __m512d Bias;
    __m512d End;
};

// The indices that gather frames Frame and Frame + 1 of the 8 blocks from the
// two registers of 4 loaded quarters each: dword j < 8 is block j's frame
// Frame, dword j >= 8 block j - 8's frame Frame + 1.
__m512i FramePairIndex(int Frame)
{
    alignas(64) std::array<int32_t, 16> index{};
    for (int j = 0; j < 16; ++j) {
        const int block = j % 8;
        const int frame = Frame + j / 8;
        const int source = block < 4 ? 0 : SecondSource;
        index[static_cast<size_t>(j)] = source + (block % 4) * DwordsPerQuarter + frame;
    }
    return _mm512_load_si512(index.data());
}

// The slow step for the lanes in Crossed, whose new sum has left its range:
// TSquareSum::AddAcrossRange, lane by lane; the other lanes take Next.
__attribute__((noinline)) void CrossRanges(TChain& Chain, __m512d Next, __m512d Squares, __mmask8 Crossed)
{
    alignas(64) std::array<double, ChainLanes> biased{}, bias{}, end{}, next{}, squares{};
    _mm512_store_pd(biased.data(), Chain.Biased);
    _mm512_store_pd(bias.data(), Chain.Bias);
    _mm512_store_pd(end.data(), Chain.End);
    _mm512_store_pd(next.data(), Next);
    _mm512_store_pd(squares.data(), Squares);
    for (size_t lane = 0; lane < ChainLanes; ++lane) {
        if ((Crossed >> lane & 1) == 0) {
            biased[lane] = next[lane];
            continue;
        }
        const auto sum = static_cast<float>(biased[lane] - bias[lane]);
        const auto newSum = static_cast<float>(static_cast<long double>(sum) + squares[lane]);
        const TSquareSum::TRange range = TSquareSum::RangeOf(newSum);
        bias[lane] = range.Bias;
        end[lane] = range.End;
        biased[lane] = range.Bias + newSum;
    }
    Chain.Biased = _mm512_load_pd(biased.data());
    Chain.Bias = _mm512_load_pd(bias.data());
    Chain.End = _mm512_load_pd(end.data());
}

// Adds the squares of 8 corrected samples to one chain.
inline void AddSquares(TChain& Chain, __m256i Samples32)
{
    const __m512d x = _mm512_cvtepi32_pd(Samples32);
    const __m512d squares = _mm512_mul_pd(x, x); // exact: at most 2^30
    const __m512d next = _mm512_add_pd(Chain.Biased, squares);
    const __mmask8 crossed = _mm512_cmp_pd_mask(next, Chain.End, _CMP_GE_OQ);
    if (crossed != 0) [[unlikely]]
        CrossRanges(Chain, next, squares, crossed);
    else
        Chain.Biased = next;
}

// Adds one frame of all 8 blocks: 16 corrected 16-bit samples, block by block, left then right.
inline void AddFrame(std::array<TChain, Chains>& Sums, __m256i Frame)
{
    const __m512i wide = _mm512_cvtepi16_epi32(Frame);
    AddSquares(Sums[0], _mm512_castsi512_si256(wide));
    AddSquares(Sums[1], _mm512_extracti64x4_epi64(wide, 1));
}

// Adds Count (1 to 4) frames from Start on, from each of the 8 blocks.
inline void AddFrames(std::array<TChain, Chains>& Sums, const int16_t* Samples, size_t FrameCount, size_t Start,
                      size_t Count, __m512i Offsets, __m512i Index01, __m512i Index23)
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
    const __m512i frames01 = _mm512_sub_epi16(_mm512_permutex2var_epi32(low, Index01, high), Offsets);
    AddFrame(Sums, _mm512_castsi512_si256(frames01));
    if (Count > 1)
        AddFrame(Sums, _mm512_extracti64x4_epi64(frames01, 1));
    if (Count <= FramesPerPermute)
        return;
    const __m512i frames23 = _mm512_sub_epi16(_mm512_permutex2var_epi32(low, Index23, high), Offsets);
    AddFrame(Sums, _mm512_castsi512_si256(frames23));
    if (Count > 3)
        AddFrame(Sums, _mm512_extracti64x4_epi64(frames23, 1));
}

// The offsets as 32 words: block j % 8's left then right, for two frames.
__m512i OffsetWords(const uint16_t* Offsets)
{
    alignas(64) std::array<uint16_t, 32> words{};
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = Offsets[i % Lanes];
    return _mm512_load_si512(words.data());
}

} // namespace

void MeasureRmsLanes(const int16_t* Samples, size_t FrameCount, const uint16_t* Offsets, TStereoPower* Powers)
{
    const TSquareSum::TRange start = TSquareSum::RangeOf(RmsSumStart);
    const TChain fresh{_mm512_set1_pd(start.Bias + RmsSumStart), _mm512_set1_pd(start.Bias), _mm512_set1_pd(start.End)};
    std::array<TChain, Chains> sums{fresh, fresh};
    const __m512i offsets = OffsetWords(Offsets);
    const __m512i index01 = FramePairIndex(0);
    const __m512i index23 = FramePairIndex(FramesPerPermute);
    size_t frame = 0;
    for (; frame + FramesPerLoad <= FrameCount; frame += FramesPerLoad)
        AddFrames(sums, Samples, FrameCount, frame, FramesPerLoad, offsets, index01, index23);
    if (frame < FrameCount)
        AddFrames(sums, Samples, FrameCount, frame, FrameCount - frame, offsets, index01, index23);

    for (size_t chain = 0; chain < Chains; ++chain) {
        alignas(64) std::array<double, ChainLanes> biased{}, bias{};
        _mm512_store_pd(biased.data(), sums[chain].Biased);
        _mm512_store_pd(bias.data(), sums[chain].Bias);
        for (size_t b = 0; b < BlocksPerChain; ++b) {
            const auto left = static_cast<float>(biased[2 * b] - bias[2 * b]);
            const auto right = static_cast<float>(biased[2 * b + 1] - bias[2 * b + 1]);
            Powers[chain * BlocksPerChain + b] =
                TStereoPower{SquareSumToPower(left, FrameCount), SquareSumToPower(right, FrameCount)};
        }
    }
}

#pragma GCC diagnostic pop
#pragma GCC pop_options

} // namespace measure
