#include "tools/measure/samplestats.h"

#include "analysis/stereopower.h"

#include <algorithm>
#include <immintrin.h>
#include <limits>

namespace measure {

namespace {

constexpr int32_t SampleMin = std::numeric_limits<int16_t>::min();
constexpr int32_t SampleMax = std::numeric_limits<int16_t>::max();
// Multiplying the words by 1, 0, 1, 0 ... and adding pairs (pmaddwd) gives
// each frame's left sample in 32 bits; by 0, 1 ... its right sample. A lane
// adds at most 65535 / 4 samples, so the sums are exact.
constexpr int32_t LeftWeights = 1;
constexpr int32_t RightWeights = 1 << 16;

// Gathers vector lanes into Stats: words of even place are left samples.
template <size_t Words>
void AddLanes(TSampleStats& Stats, const std::array<int16_t, Words>& Lows, const std::array<int16_t, Words>& Highs,
              const std::array<int32_t, Words / 2>& Lefts, const std::array<int32_t, Words / 2>& Rights)
{
    for (size_t lane = 0; lane < Words; ++lane) {
        const size_t c = lane % SamplesPerFrame;
        Stats.Min[c] = std::min<int32_t>(Stats.Min[c], Lows[lane]);
        Stats.Max[c] = std::max<int32_t>(Stats.Max[c], Highs[lane]);
    }
    for (size_t lane = 0; lane < Words / 2; ++lane) {
        Stats.Sum[0] += Lefts[lane];
        Stats.Sum[1] += Rights[lane];
    }
}

// Adds samples From to To one by one.
void AddSamples(TSampleStats& Stats, const int16_t* Samples, size_t From, size_t To)
{
    for (size_t i = From; i < To; ++i) {
        const size_t c = i % SamplesPerFrame;
        Stats.Sum[c] += Samples[i];
        Stats.Min[c] = std::min<int32_t>(Stats.Min[c], Samples[i]);
        Stats.Max[c] = std::max<int32_t>(Stats.Max[c], Samples[i]);
    }
}

TSampleStats EmptyStats()
{
    return TSampleStats{{}, {SampleMax, SampleMax}, {SampleMin, SampleMin}};
}

// The baseline processor's 128-bit vectors: 4 frames at a time.
TSampleStats StatsOf128(const int16_t* Samples, size_t SampleCount)
{
    constexpr size_t words = sizeof(__m128i) / sizeof(int16_t);
    __m128i low = _mm_set1_epi16(static_cast<int16_t>(SampleMax));
    __m128i high = _mm_set1_epi16(static_cast<int16_t>(SampleMin));
    __m128i left = _mm_setzero_si128();
    __m128i right = _mm_setzero_si128();
    size_t i = 0;
    for (; i + words <= SampleCount; i += words) {
        const __m128i samples = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Samples + i));
        low = _mm_min_epi16(low, samples);
        high = _mm_max_epi16(high, samples);
        left = _mm_add_epi32(left, _mm_madd_epi16(samples, _mm_set1_epi32(LeftWeights)));
        right = _mm_add_epi32(right, _mm_madd_epi16(samples, _mm_set1_epi32(RightWeights)));
    }
    alignas(16) std::array<int16_t, words> lows{}, highs{};
    alignas(16) std::array<int32_t, words / 2> lefts{}, rights{};
    _mm_store_si128(reinterpret_cast<__m128i*>(lows.data()), low);
    _mm_store_si128(reinterpret_cast<__m128i*>(highs.data()), high);
    _mm_store_si128(reinterpret_cast<__m128i*>(lefts.data()), left);
    _mm_store_si128(reinterpret_cast<__m128i*>(rights.data()), right);
    TSampleStats stats = EmptyStats();
    AddLanes(stats, lows, highs, lefts, rights);
    AddSamples(stats, Samples, i, SampleCount);
    return stats;
}

#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw")

// 512-bit vectors: 16 frames at a time.
TSampleStats StatsOf512(const int16_t* Samples, size_t SampleCount)
{
    constexpr size_t words = sizeof(__m512i) / sizeof(int16_t);
    __m512i low = _mm512_set1_epi16(static_cast<int16_t>(SampleMax));
    __m512i high = _mm512_set1_epi16(static_cast<int16_t>(SampleMin));
    __m512i left = _mm512_setzero_si512();
    __m512i right = _mm512_setzero_si512();
    size_t i = 0;
    for (; i + words <= SampleCount; i += words) {
        const __m512i samples = _mm512_loadu_si512(Samples + i);
        low = _mm512_min_epi16(low, samples);
        high = _mm512_max_epi16(high, samples);
        left = _mm512_add_epi32(left, _mm512_madd_epi16(samples, _mm512_set1_epi32(LeftWeights)));
        right = _mm512_add_epi32(right, _mm512_madd_epi16(samples, _mm512_set1_epi32(RightWeights)));
    }
    alignas(64) std::array<int16_t, words> lows{}, highs{};
    alignas(64) std::array<int32_t, words / 2> lefts{}, rights{};
    _mm512_store_si512(lows.data(), low);
    _mm512_store_si512(highs.data(), high);
    _mm512_store_si512(lefts.data(), left);
    _mm512_store_si512(rights.data(), right);
    TSampleStats stats = EmptyStats();
    AddLanes(stats, lows, highs, lefts, rights);
    AddSamples(stats, Samples, i, SampleCount);
    return stats;
}

#pragma GCC pop_options

bool Has512()
{
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    return has;
}

} // namespace

TSampleStats StatsOf(const int16_t* Samples, size_t FrameCount)
{
    const size_t samples = FrameCount * SamplesPerFrame;
    return Has512() ? StatsOf512(Samples, samples) : StatsOf128(Samples, samples);
}

} // namespace measure
