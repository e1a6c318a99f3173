// StatsOf on x86-64: 128-bit (SSE2), 256-bit (AVX2) and 512-bit (AVX-512 BW)
// vectors, 4, 8 and 16 frames at a time. Each register adds its frames'
// corrected samples in 32-bit lanes with pmaddwd: multiplying the words by
// 1, 0, 1, 0 ... and adding pairs gives each frame's left sample; by 0, 1 ...
// its right sample. A lane adds at most 65535 / 4 samples, so the sums are exact.
#include "report/x86/statsx86.h"

#include "report/statslanes.h"

#include <immintrin.h>

namespace measure {

using namespace statslanes;

namespace {

constexpr int32_t LeftWeights = 1;
constexpr int32_t RightWeights = 1 << 16;

} // namespace

TSampleStats StatsSse2(const int16_t* Samples, size_t SampleCount, std::array<uint16_t, 2> Offsets)
{
    constexpr size_t words = sizeof(__m128i) / sizeof(int16_t);
    const __m128i offsets = _mm_set1_epi32(OffsetPair(Offsets));
    __m128i low = _mm_set1_epi16(static_cast<int16_t>(SampleMax));
    __m128i high = _mm_set1_epi16(static_cast<int16_t>(SampleMin));
    __m128i rawLow = low;
    __m128i rawHigh = high;
    __m128i left = _mm_setzero_si128();
    __m128i right = _mm_setzero_si128();
    size_t i = 0;
    for (; i + words <= SampleCount; i += words) {
        const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Samples + i));
        const __m128i samples = _mm_sub_epi16(raw, offsets);
        rawLow = _mm_min_epi16(rawLow, raw);
        rawHigh = _mm_max_epi16(rawHigh, raw);
        low = _mm_min_epi16(low, samples);
        high = _mm_max_epi16(high, samples);
        left = _mm_add_epi32(left, _mm_madd_epi16(samples, _mm_set1_epi32(LeftWeights)));
        right = _mm_add_epi32(right, _mm_madd_epi16(samples, _mm_set1_epi32(RightWeights)));
    }
    TLanes<words> lanes;
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes.Low.data()), low);
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes.High.data()), high);
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes.RawLow.data()), rawLow);
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes.RawHigh.data()), rawHigh);
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes.Left.data()), left);
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes.Right.data()), right);
    TSampleStats stats = EmptyStats();
    AddLanes(stats, lanes);
    AddSamples(stats, Samples, i, SampleCount, Offsets);
    return stats;
}

// Only the functions below may use these instructions, and are reached only
// when the processor has them: GCC and clang each have their own way to say so.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

TSampleStats StatsAvx2(const int16_t* Samples, size_t SampleCount, std::array<uint16_t, 2> Offsets)
{
    constexpr size_t words = sizeof(__m256i) / sizeof(int16_t);
    const __m256i offsets = _mm256_set1_epi32(OffsetPair(Offsets));
    __m256i low = _mm256_set1_epi16(static_cast<int16_t>(SampleMax));
    __m256i high = _mm256_set1_epi16(static_cast<int16_t>(SampleMin));
    __m256i rawLow = low;
    __m256i rawHigh = high;
    __m256i left = _mm256_setzero_si256();
    __m256i right = _mm256_setzero_si256();
    size_t i = 0;
    for (; i + words <= SampleCount; i += words) {
        const __m256i raw = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(Samples + i));
        const __m256i samples = _mm256_sub_epi16(raw, offsets);
        rawLow = _mm256_min_epi16(rawLow, raw);
        rawHigh = _mm256_max_epi16(rawHigh, raw);
        low = _mm256_min_epi16(low, samples);
        high = _mm256_max_epi16(high, samples);
        left = _mm256_add_epi32(left, _mm256_madd_epi16(samples, _mm256_set1_epi32(LeftWeights)));
        right = _mm256_add_epi32(right, _mm256_madd_epi16(samples, _mm256_set1_epi32(RightWeights)));
    }
    TLanes<words> lanes;
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes.Low.data()), low);
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes.High.data()), high);
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes.RawLow.data()), rawLow);
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes.RawHigh.data()), rawHigh);
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes.Left.data()), left);
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes.Right.data()), right);
    TSampleStats stats = EmptyStats();
    AddLanes(stats, lanes);
    AddSamples(stats, Samples, i, SampleCount, Offsets);
    return stats;
}

#if defined(__clang__)
#pragma clang attribute pop
#pragma clang attribute push(__attribute__((target("avx512f,avx512bw"))), apply_to = function)
#else
#pragma GCC pop_options
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw")
#endif

TSampleStats StatsAvx512(const int16_t* Samples, size_t SampleCount, std::array<uint16_t, 2> Offsets)
{
    constexpr size_t words = sizeof(__m512i) / sizeof(int16_t);
    const __m512i offsets = _mm512_set1_epi32(OffsetPair(Offsets));
    __m512i low = _mm512_set1_epi16(static_cast<int16_t>(SampleMax));
    __m512i high = _mm512_set1_epi16(static_cast<int16_t>(SampleMin));
    __m512i rawLow = low;
    __m512i rawHigh = high;
    __m512i left = _mm512_setzero_si512();
    __m512i right = _mm512_setzero_si512();
    size_t i = 0;
    for (; i + words <= SampleCount; i += words) {
        const __m512i raw = _mm512_loadu_si512(Samples + i);
        const __m512i samples = _mm512_sub_epi16(raw, offsets);
        rawLow = _mm512_min_epi16(rawLow, raw);
        rawHigh = _mm512_max_epi16(rawHigh, raw);
        low = _mm512_min_epi16(low, samples);
        high = _mm512_max_epi16(high, samples);
        left = _mm512_add_epi32(left, _mm512_madd_epi16(samples, _mm512_set1_epi32(LeftWeights)));
        right = _mm512_add_epi32(right, _mm512_madd_epi16(samples, _mm512_set1_epi32(RightWeights)));
    }
    TLanes<words> lanes;
    _mm512_store_si512(lanes.Low.data(), low);
    _mm512_store_si512(lanes.High.data(), high);
    _mm512_store_si512(lanes.RawLow.data(), rawLow);
    _mm512_store_si512(lanes.RawHigh.data(), rawHigh);
    _mm512_store_si512(lanes.Left.data(), left);
    _mm512_store_si512(lanes.Right.data(), right);
    TSampleStats stats = EmptyStats();
    AddLanes(stats, lanes);
    AddSamples(stats, Samples, i, SampleCount, Offsets);
    return stats;
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

} // namespace measure
