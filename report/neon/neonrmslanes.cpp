// The RMS lanes with NEON's 128-bit vectors: the 8 blocks' sums of one
// channel in four registers of two doubles (blocks 0-1, 2-3, 4-5, 6-7). Each
// lane adds exactly the double additions that TSquareSum adds, in the same
// order; a step in which a lane leaves its binary range is redone lane by
// lane (lanesums::AddToLane), so the rounding is that of the other paths and
// of the window's measure, bit for bit.
#include "report/neon/neonpaths.h"

#include "report/lanesums.h"
#include "report/statslanes.h"

#include <algorithm>
#include <arm_neon.h>

namespace measure {

namespace {

constexpr size_t FramesPerStep = 4; // frames loaded from each block at once: 128 bits
constexpr size_t LanesPerRegister = 2;
constexpr size_t Pairs = RmsLaneBlocks / LanesPerRegister;
constexpr int BitsPerWord = 16;

// The squares of one channel of two blocks: Frame[f] holds frame f of both.
struct TPairSquares {
    float64x2_t Frame[FramesPerStep];
};

// Two blocks' lanes of one channel, in registers.
struct TPair {
    float64x2_t Biased;
    float64x2_t End;
};

// Frame f of blocks A and B, from each block's four 32-bit squares. Exact:
// a square is at most 2^30.
TPairSquares PairSquares(int32x4_t A, int32x4_t B)
{
    const int32x4_t frames01 = vzip1q_s32(A, B); // a0 b0 a1 b1
    const int32x4_t frames23 = vzip2q_s32(A, B); // a2 b2 a3 b3
    return TPairSquares{{vcvtq_f64_s64(vmovl_s32(vget_low_s32(frames01))), vcvtq_f64_s64(vmovl_high_s32(frames01)),
                         vcvtq_f64_s64(vmovl_s32(vget_low_s32(frames23))), vcvtq_f64_s64(vmovl_high_s32(frames23))}};
}

// Redoes a step of Pair's lanes (First and First + 1) one lane at a time.
[[gnu::noinline]] void RedoStep(TPair& Pair, lanesums::TLaneSums& Sums, size_t First, const TPairSquares& Squares,
                                size_t Frames)
{
    double squares[FramesPerStep][LanesPerRegister];
    for (size_t f = 0; f < Frames; ++f)
        vst1q_f64(squares[f], Squares.Frame[f]);
    for (size_t lane = 0; lane < LanesPerRegister; ++lane)
        for (size_t f = 0; f < Frames; ++f)
            lanesums::AddToLane(Sums, First + lane, squares[f][lane]);
    Pair.Biased = vld1q_f64(&Sums.Biased[First]);
    Pair.End = vld1q_f64(&Sums.End[First]);
}

// Adds a step's squares with one double addition per lane and frame. A sum
// only grows, so a lane that left its range on the way ends at or above its
// range's end; only then is the step redone.
inline void AddStep(TPair& Pair, lanesums::TLaneSums& Sums, size_t First, const TPairSquares& Squares, size_t Frames)
{
    float64x2_t biased = Pair.Biased;
    for (size_t f = 0; f < Frames; ++f)
        biased = vaddq_f64(biased, Squares.Frame[f]);
    if (vmaxvq_u32(vreinterpretq_u32_u64(vcgeq_f64(biased, Pair.End))) == 0) [[likely]] {
        Pair.Biased = biased;
        return;
    }
    vst1q_f64(&Sums.Biased[First], Pair.Biased);
    RedoStep(Pair, Sums, First, Squares, Frames);
}

// The lanes of both channels, in registers and, for a redone step, in memory.
struct TChannels {
    TPair Left[Pairs];
    TPair Right[Pairs];
    lanesums::TLaneSums LeftSums;
    lanesums::TLaneSums RightSums;
};

// The squares of four frames of a block, left and right, as 32-bit integers.
struct TBlockSquares {
    int32x4_t Left;
    int32x4_t Right;
};

inline TBlockSquares BlockSquares(const int16_t* Frames, int16x8_t Offsets)
{
    const int32x4_t frames = vreinterpretq_s32_s16(vsubq_s16(vld1q_s16(Frames), Offsets));
    const int32x4_t left = vshrq_n_s32(vshlq_n_s32(frames, BitsPerWord), BitsPerWord);
    const int32x4_t right = vshrq_n_s32(frames, BitsPerWord);
    return TBlockSquares{vmulq_s32(left, left), vmulq_s32(right, right)};
}

// Adds Frames (1 to 4) frames of each block: block b's at Blocks + b * Stride
// samples, its offsets (left in the low word) repeated in Offsets[b].
inline void AddFrames(TChannels& Lanes, const int16_t* Blocks, size_t Stride,
                      const int16x8_t (&Offsets)[RmsLaneBlocks], size_t Frames)
{
    for (size_t p = 0; p < Pairs; ++p) {
        const size_t a = p * LanesPerRegister;
        const TBlockSquares first = BlockSquares(Blocks + a * Stride, Offsets[a]);
        const TBlockSquares second = BlockSquares(Blocks + (a + 1) * Stride, Offsets[a + 1]);
        AddStep(Lanes.Left[p], Lanes.LeftSums, a, PairSquares(first.Left, second.Left), Frames);
        AddStep(Lanes.Right[p], Lanes.RightSums, a, PairSquares(first.Right, second.Right), Frames);
    }
}

} // namespace

void RmsLanesNeon(const int16_t* Samples, size_t FrameCount, const uint16_t* Offsets, TStereoPower* Powers)
{
    TChannels lanes;
    lanes.LeftSums = lanesums::FreshSums();
    lanes.RightSums = lanes.LeftSums;
    for (size_t p = 0; p < Pairs; ++p) {
        const size_t first = p * LanesPerRegister;
        lanes.Left[p] = TPair{vld1q_f64(&lanes.LeftSums.Biased[first]), vld1q_f64(&lanes.LeftSums.End[first])};
        lanes.Right[p] = lanes.Left[p];
    }
    int16x8_t offsets[RmsLaneBlocks];
    for (size_t b = 0; b < RmsLaneBlocks; ++b)
        offsets[b] = vreinterpretq_s16_s32(vdupq_n_s32(statslanes::OffsetPair({Offsets[2 * b], Offsets[2 * b + 1]})));
    const size_t stride = FrameCount * SamplesPerFrame;
    size_t frame = 0;
    for (; frame + FramesPerStep <= FrameCount; frame += FramesPerStep)
        AddFrames(lanes, Samples + frame * SamplesPerFrame, stride, offsets, FramesPerStep);
    if (frame < FrameCount) {
        // The last frames of each block, side by side in a step of their own.
        constexpr size_t stepSamples = FramesPerStep * SamplesPerFrame;
        int16_t tail[RmsLaneBlocks * stepSamples] = {};
        const size_t count = (FrameCount - frame) * SamplesPerFrame;
        for (size_t b = 0; b < RmsLaneBlocks; ++b)
            std::copy_n(Samples + b * stride + frame * SamplesPerFrame, count, tail + b * stepSamples);
        AddFrames(lanes, tail, stepSamples, offsets, FrameCount - frame);
    }
    for (size_t p = 0; p < Pairs; ++p) {
        vst1q_f64(&lanes.LeftSums.Biased[p * LanesPerRegister], lanes.Left[p].Biased);
        vst1q_f64(&lanes.RightSums.Biased[p * LanesPerRegister], lanes.Right[p].Biased);
    }
    lanesums::WritePowers(lanes.LeftSums, lanes.RightSums, FrameCount, Powers);
}

} // namespace measure
