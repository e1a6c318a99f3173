// StatsOf with arm64's NEON vectors: 4 frames at a time. Each frame's 32-bit
// lane adds its corrected left sample (the low word, sign-extended) and its
// right sample (the high word) into two sums; a lane adds at most 65535 / 4
// samples, so the sums are exact.
#include "report/neon/neonpaths.h"

#include "report/statslanes.h"

#include <arm_neon.h>

namespace measure {

using namespace statslanes;

TSampleStats StatsNeon(const int16_t* Samples, size_t SampleCount, std::array<uint16_t, 2> Offsets)
{
    constexpr size_t words = sizeof(int16x8_t) / sizeof(int16_t);
    const int16x8_t offsets = vreinterpretq_s16_s32(vdupq_n_s32(OffsetPair(Offsets)));
    int16x8_t low = vdupq_n_s16(static_cast<int16_t>(SampleMax));
    int16x8_t high = vdupq_n_s16(static_cast<int16_t>(SampleMin));
    int16x8_t rawLow = low;
    int16x8_t rawHigh = high;
    int32x4_t left = vdupq_n_s32(0);
    int32x4_t right = vdupq_n_s32(0);
    size_t i = 0;
    for (; i + words <= SampleCount; i += words) {
        const int16x8_t raw = vld1q_s16(Samples + i);
        const int16x8_t samples = vsubq_s16(raw, offsets);
        rawLow = vminq_s16(rawLow, raw);
        rawHigh = vmaxq_s16(rawHigh, raw);
        low = vminq_s16(low, samples);
        high = vmaxq_s16(high, samples);
        const int32x4_t frames = vreinterpretq_s32_s16(samples);
        left = vaddq_s32(left, vshrq_n_s32(vshlq_n_s32(frames, BitsPerWord), BitsPerWord));
        right = vaddq_s32(right, vshrq_n_s32(frames, BitsPerWord));
    }
    TLanes<words> lanes;
    vst1q_s16(lanes.Low.data(), low);
    vst1q_s16(lanes.High.data(), high);
    vst1q_s16(lanes.RawLow.data(), rawLow);
    vst1q_s16(lanes.RawHigh.data(), rawHigh);
    vst1q_s32(lanes.Left.data(), left);
    vst1q_s32(lanes.Right.data(), right);
    TSampleStats stats = EmptyStats();
    AddLanes(stats, lanes);
    AddSamples(stats, Samples, i, SampleCount, Offsets);
    return stats;
}

} // namespace measure
