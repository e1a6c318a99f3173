// The RMS lanes with 256-bit vectors: the 8 blocks' sums of one channel in
// two registers of four doubles (blocks 0-3 and 4-7). Each lane adds exactly
// the double additions that TSquareSum adds, in the same order; a step in
// which a lane leaves its binary range is redone lane by lane
// (lanesums::AddToLane), so the rounding is that of the 512-bit lanes and of
// the window's measure, bit for bit.
#include "report/lanesums.h"
#include "report/statslanes.h"
#include "report/x86/statsx86.h"

#include <algorithm>
#include <immintrin.h>

namespace measure {

// Only the functions below may use these instructions, and are reached only
// when the processor has them: GCC and clang each have their own way to say so.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

namespace {

constexpr size_t FramesPerStep = 4; // frames loaded from each block at once: 128 bits
constexpr size_t LanesPerRegister = 4;
constexpr size_t Quads = RmsLaneBlocks / LanesPerRegister;
constexpr int BitsPerWord = 16;

// The squares of one channel: Frame[f] holds frame f of 4 blocks as 32-bit integers.
struct TQuadSquares {
    __m128i Frame[FramesPerStep];
};

// Four blocks' lanes of one channel, in registers.
struct TQuad {
    __m256d Biased;
    __m256d End;
};

// Rows a, b, c, d of 4 dwords become columns.
[[gnu::always_inline]] inline void Transpose(__m128i (&Rows)[FramesPerStep])
{
    const __m128i ab01 = _mm_unpacklo_epi32(Rows[0], Rows[1]);
    const __m128i cd01 = _mm_unpacklo_epi32(Rows[2], Rows[3]);
    const __m128i ab23 = _mm_unpackhi_epi32(Rows[0], Rows[1]);
    const __m128i cd23 = _mm_unpackhi_epi32(Rows[2], Rows[3]);
    Rows[0] = _mm_unpacklo_epi64(ab01, cd01);
    Rows[1] = _mm_unpackhi_epi64(ab01, cd01);
    Rows[2] = _mm_unpacklo_epi64(ab23, cd23);
    Rows[3] = _mm_unpackhi_epi64(ab23, cd23);
}

// Redoes a step of Quad lanes (First to First + 3) one lane at a time.
[[gnu::noinline]] void RedoStep(TQuad& Quad, lanesums::TLaneSums& Sums, size_t First, const TQuadSquares& Squares,
                                size_t Frames)
{
    alignas(16) int32_t squares[FramesPerStep][LanesPerRegister];
    for (size_t f = 0; f < Frames; ++f)
        _mm_store_si128(reinterpret_cast<__m128i*>(squares[f]), Squares.Frame[f]);
    for (size_t lane = 0; lane < LanesPerRegister; ++lane)
        for (size_t f = 0; f < Frames; ++f)
            lanesums::AddToLane(Sums, First + lane, squares[f][lane]);
    Quad.Biased = _mm256_load_pd(&Sums.Biased[First]);
    Quad.End = _mm256_load_pd(&Sums.End[First]);
}

// Adds a step's squares with one double addition per lane and frame. A sum
// only grows, so a lane that left its range on the way ends at or above its
// range's end; only then is the step redone.
[[gnu::always_inline]] inline void AddStep(TQuad& Quad, lanesums::TLaneSums& Sums, size_t First,
                                           const TQuadSquares& Squares, size_t Frames)
{
    __m256d biased = Quad.Biased;
    for (size_t f = 0; f < Frames; ++f)
        biased = _mm256_add_pd(biased, _mm256_cvtepi32_pd(Squares.Frame[f])); // exact: a square is at most 2^30
    if (_mm256_movemask_pd(_mm256_cmp_pd(biased, Quad.End, _CMP_GE_OQ)) == 0) [[likely]] {
        Quad.Biased = biased;
        return;
    }
    _mm256_store_pd(&Sums.Biased[First], Quad.Biased);
    RedoStep(Quad, Sums, First, Squares, Frames);
}

// The lanes of both channels, in registers and, for a redone step, in memory.
struct TChannels {
    TQuad Left[Quads];
    TQuad Right[Quads];
    lanesums::TLaneSums LeftSums;
    lanesums::TLaneSums RightSums;
};

// Adds Frames (1 to 4) frames of each block: block b's at Blocks + b * Stride
// samples, its offsets (left in the low word) repeated in Offsets[b].
[[gnu::always_inline]] inline void AddFrames(TChannels& Lanes, const int16_t* Blocks, size_t Stride,
                                             const __m128i (&Offsets)[RmsLaneBlocks], size_t Frames)
{
    const __m128i leftWords = _mm_set1_epi32(0xFFFF);
    for (size_t q = 0; q < Quads; ++q) {
        TQuadSquares left, right;
        for (size_t k = 0; k < LanesPerRegister; ++k) {
            const size_t b = q * LanesPerRegister + k;
            const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(Blocks + b * Stride));
            const __m128i frames = _mm_sub_epi16(raw, Offsets[b]);
            // pmaddwd of the samples with themselves, the other channel's word
            // cleared, leaves each sample's square in its frame's dword.
            left.Frame[k] = _mm_madd_epi16(_mm_and_si128(frames, leftWords), frames);
            const __m128i rightOnly = _mm_srli_epi32(frames, BitsPerWord);
            right.Frame[k] = _mm_madd_epi16(rightOnly, rightOnly);
        }
        Transpose(left.Frame);
        Transpose(right.Frame);
        AddStep(Lanes.Left[q], Lanes.LeftSums, q * LanesPerRegister, left, Frames);
        AddStep(Lanes.Right[q], Lanes.RightSums, q * LanesPerRegister, right, Frames);
    }
}

} // namespace

void RmsLanesAvx2(const int16_t* Samples, size_t FrameCount, const uint16_t* Offsets, TStereoPower* Powers)
{
    TChannels lanes;
    lanes.LeftSums = lanesums::FreshSums();
    lanes.RightSums = lanes.LeftSums;
    for (size_t q = 0; q < Quads; ++q) {
        const size_t first = q * LanesPerRegister;
        lanes.Left[q] = TQuad{_mm256_load_pd(&lanes.LeftSums.Biased[first]), _mm256_load_pd(&lanes.LeftSums.End[first])};
        lanes.Right[q] = lanes.Left[q];
    }
    __m128i offsets[RmsLaneBlocks];
    for (size_t b = 0; b < RmsLaneBlocks; ++b)
        offsets[b] = _mm_set1_epi32(statslanes::OffsetPair({Offsets[2 * b], Offsets[2 * b + 1]}));
    const size_t stride = FrameCount * SamplesPerFrame;
    size_t frame = 0;
    for (; frame + FramesPerStep <= FrameCount; frame += FramesPerStep)
        AddFrames(lanes, Samples + frame * SamplesPerFrame, stride, offsets, FramesPerStep);
    if (frame < FrameCount) {
        // The last frames of each block, side by side in a step of their own.
        constexpr size_t stepSamples = FramesPerStep * SamplesPerFrame;
        alignas(16) int16_t tail[RmsLaneBlocks * stepSamples] = {};
        const size_t count = (FrameCount - frame) * SamplesPerFrame;
        for (size_t b = 0; b < RmsLaneBlocks; ++b)
            std::copy_n(Samples + b * stride + frame * SamplesPerFrame, count, tail + b * stepSamples);
        AddFrames(lanes, tail, stepSamples, offsets, FrameCount - frame);
    }
    for (size_t q = 0; q < Quads; ++q) {
        _mm256_store_pd(&lanes.LeftSums.Biased[q * LanesPerRegister], lanes.Left[q].Biased);
        _mm256_store_pd(&lanes.RightSums.Biased[q * LanesPerRegister], lanes.Right[q].Biased);
    }
    lanesums::WritePowers(lanes.LeftSums, lanes.RightSums, FrameCount, Powers);
}

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

} // namespace measure
