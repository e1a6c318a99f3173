#include "report/samplestats.h"

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
constexpr int BitsPerWord = 16;

// The vector registers' lanes, stored: words of even place are left samples.
template <size_t Words>
struct TLanes {
    alignas(64) std::array<int16_t, Words> Low, High, RawLow, RawHigh;
    alignas(64) std::array<int32_t, Words / 2> Left, Right;
};

// Gathers the lanes into Stats.
template <size_t Words>
void AddLanes(TSampleStats& Stats, const TLanes<Words>& Lanes)
{
    for (size_t lane = 0; lane < Words; ++lane) {
        const size_t c = lane % SamplesPerFrame;
        Stats.Min[c] = std::min<int32_t>(Stats.Min[c], Lanes.Low[lane]);
        Stats.Max[c] = std::max<int32_t>(Stats.Max[c], Lanes.High[lane]);
        Stats.RawMin[c] = std::min<int32_t>(Stats.RawMin[c], Lanes.RawLow[lane]);
        Stats.RawMax[c] = std::max<int32_t>(Stats.RawMax[c], Lanes.RawHigh[lane]);
    }
    for (size_t lane = 0; lane < Words / 2; ++lane) {
        Stats.Sum[0] += Lanes.Left[lane];
        Stats.Sum[1] += Lanes.Right[lane];
    }
}

// Adds samples From to To one by one.
void AddSamples(TSampleStats& Stats, const int16_t* Samples, size_t From, size_t To, std::array<uint16_t, 2> Offsets)
{
    for (size_t i = From; i < To; ++i) {
        const size_t c = i % SamplesPerFrame;
        const auto corrected = static_cast<int16_t>(static_cast<uint16_t>(Samples[i]) - Offsets[c]);
        Stats.Sum[c] += corrected;
        Stats.Min[c] = std::min<int32_t>(Stats.Min[c], corrected);
        Stats.Max[c] = std::max<int32_t>(Stats.Max[c], corrected);
        Stats.RawMin[c] = std::min<int32_t>(Stats.RawMin[c], Samples[i]);
        Stats.RawMax[c] = std::max<int32_t>(Stats.RawMax[c], Samples[i]);
    }
}

// The two offsets as one frame: left in the low word.
int32_t OffsetPair(std::array<uint16_t, 2> Offsets)
{
    return static_cast<int32_t>(static_cast<uint32_t>(Offsets[0]) | static_cast<uint32_t>(Offsets[1]) << BitsPerWord);
}

TSampleStats EmptyStats()
{
    const std::array<int32_t, 2> highest{SampleMax, SampleMax};
    const std::array<int32_t, 2> lowest{SampleMin, SampleMin};
    return TSampleStats{{}, highest, lowest, highest, lowest};
}

// The baseline processor's 128-bit vectors: 4 frames at a time.
TSampleStats StatsOf128(const int16_t* Samples, size_t SampleCount, std::array<uint16_t, 2> Offsets)
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

// Only the functions below may use these instructions: GCC and clang each
// have their own way to say so.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512bw"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw")
#endif

// 512-bit vectors: 16 frames at a time.
TSampleStats StatsOf512(const int16_t* Samples, size_t SampleCount, std::array<uint16_t, 2> Offsets)
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

bool Has512()
{
    static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    return has;
}

} // namespace

TSampleStats StatsOf(const int16_t* Samples, size_t FrameCount, std::array<uint16_t, 2> Offsets)
{
    const size_t samples = FrameCount * SamplesPerFrame;
    return Has512() ? StatsOf512(Samples, samples, Offsets) : StatsOf128(Samples, samples, Offsets);
}

TSampleStats StatsOf128Bit(const int16_t* Samples, size_t FrameCount, std::array<uint16_t, 2> Offsets)
{
    return StatsOf128(Samples, FrameCount * SamplesPerFrame, Offsets);
}

} // namespace measure
