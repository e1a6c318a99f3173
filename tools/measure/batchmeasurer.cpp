#include "tools/measure/batchmeasurer.h"

#include "analysis/offsetremoval.h"
#include "analysis/peakmeasure.h"
#include "analysis/rmsmeasure.h"
#include "tools/measure/rmslanes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace measure {

namespace {

// 8 samples (4 frames, left at even places) as the baseline processor's
// 128-bit vectors hold them, and their 32-bit widening.
using TWords = int16_t __attribute__((vector_size(16)));
using TUnsignedWords = uint16_t __attribute__((vector_size(16)));
using TWideWords = int32_t __attribute__((vector_size(32)));
constexpr size_t WordsPerVector = sizeof(TWords) / sizeof(int16_t);
constexpr size_t BlockSamples = TBatchMeasurer::BlockFrames * SamplesPerFrame;
constexpr int32_t SampleMin = std::numeric_limits<int16_t>::min();
constexpr int32_t SampleMax = std::numeric_limits<int16_t>::max();

TWords LoadWords(const int16_t* Samples)
{
    TWords words;
    std::memcpy(&words, Samples, sizeof words);
    return words;
}

// Per channel of one block: the sum, smallest and largest sample.
struct TSampleStats {
    std::array<int64_t, 2> Sum{};
    std::array<int32_t, 2> Min{SampleMax, SampleMax};
    std::array<int32_t, 2> Max{SampleMin, SampleMin};
};

// The stats of one block's samples with Offsets (low 16 bits) taken off,
// wrapping round in 16 bits; with zero offsets, of its own samples. Sums are
// exact: a lane adds at most 1103 samples.
TSampleStats StatsOf(const int16_t* Samples, std::array<uint16_t, 2> Offsets, bool WithSums)
{
    TUnsignedWords offsets;
    for (size_t i = 0; i < WordsPerVector; ++i)
        offsets[i] = Offsets[i % SamplesPerFrame];
    TWords low = TWords{} + static_cast<int16_t>(SampleMax);
    TWords high = TWords{} + static_cast<int16_t>(SampleMin);
    TWideWords sums{};
    size_t i = 0;
    for (; i + WordsPerVector <= BlockSamples; i += WordsPerVector) {
        const auto words = reinterpret_cast<TWords>(reinterpret_cast<TUnsignedWords>(LoadWords(Samples + i)) - offsets);
        low = words < low ? words : low;
        high = words > high ? words : high;
        if (WithSums)
            sums += __builtin_convertvector(words, TWideWords);
    }
    TSampleStats stats;
    for (size_t lane = 0; lane < WordsPerVector; ++lane) {
        const size_t c = lane % SamplesPerFrame;
        stats.Sum[c] += sums[lane];
        stats.Min[c] = std::min<int32_t>(stats.Min[c], low[lane]);
        stats.Max[c] = std::max<int32_t>(stats.Max[c], high[lane]);
    }
    for (; i < BlockSamples; ++i) {
        const size_t c = i % SamplesPerFrame;
        const auto sample = static_cast<int16_t>(static_cast<uint16_t>(Samples[i]) - Offsets[c]);
        stats.Sum[c] += sample;
        stats.Min[c] = std::min<int32_t>(stats.Min[c], sample);
        stats.Max[c] = std::max<int32_t>(stats.Max[c], sample);
    }
    return stats;
}

// The largest magnitude of a channel whose samples lie from Min to Max; at least 1.
int32_t PeakOf(int32_t Min, int32_t Max)
{
    return std::max({1, Max, -Min});
}

// Whether taking Offset off a sample from Min to Max may wrap round in 16 bits.
bool MayWrap(int32_t Min, int32_t Max, uint16_t Offset)
{
    const auto offset = static_cast<int16_t>(Offset);
    return Min - offset < SampleMin || Max - offset > SampleMax;
}

} // namespace

TBatchMeasurer::TBatchMeasurer(bool PeakLevel)
    : FPeakLevel(PeakLevel), FShown(PeakLevel), FCorrected(BlockSamples)
{
}

bool TBatchMeasurer::LanesUsed()
{
    static const bool used = RmsLanesAvailable();
    return used;
}

void TBatchMeasurer::Measure(const int16_t* Samples, size_t BlockCount, TBlockLevels* Levels)
{
    BlockCount = std::min(BlockCount, BatchBlocks);
    RunOffsetLoop(Samples, BlockCount);
    MeasurePowers(Samples, BlockCount);
    for (size_t b = 0; b < BlockCount; ++b)
        Levels[b] = FShown.Show(FBlocks[b].RawPeak, FPowers[b]);
}

void TBatchMeasurer::RunOffsetLoop(const int16_t* Samples, size_t BlockCount)
{
    for (size_t b = 0; b < BlockCount; ++b) {
        const int16_t* block = Samples + b * BlockSamples;
        const TSampleStats raw = StatsOf(block, {0, 0}, true);
        TBlockState& state = FBlocks[b];
        state.RawPeak = TStereoPeak{PeakOf(raw.Min[0], raw.Max[0]), PeakOf(raw.Min[1], raw.Max[1])};
        state.Offsets = {static_cast<uint16_t>(FOffsets.LeftOffsetEstimate()),
                         static_cast<uint16_t>(FOffsets.RightOffsetEstimate())};
        if (MayWrap(raw.Min[0], raw.Max[0], state.Offsets[0]) || MayWrap(raw.Min[1], raw.Max[1], state.Offsets[1])) {
            std::copy(block, block + BlockSamples, FCorrected.begin());
            RemoveOffsets(FCorrected.data(), BlockFrames, state.Offsets[0], state.Offsets[1]);
            FOffsets.AddBlock(FCorrected.data(), BlockFrames);
            continue;
        }
        const auto frames = static_cast<int64_t>(BlockFrames);
        FOffsets.AddSums(raw.Sum[0] - frames * static_cast<int16_t>(state.Offsets[0]),
                         raw.Sum[1] - frames * static_cast<int16_t>(state.Offsets[1]), BlockFrames);
    }
}

void TBatchMeasurer::MeasurePowers(const int16_t* Samples, size_t BlockCount)
{
    size_t b = 0;
    if (!FPeakLevel && LanesUsed()) {
        for (; b + RmsLaneBlocks <= BlockCount; b += RmsLaneBlocks) {
            std::array<uint16_t, RmsLaneBlocks * SamplesPerFrame> offsets{};
            for (size_t i = 0; i < RmsLaneBlocks; ++i)
                std::copy(FBlocks[b + i].Offsets.begin(), FBlocks[b + i].Offsets.end(), offsets.begin() + 2 * i);
            MeasureRmsLanes(Samples + b * BlockSamples, BlockFrames, offsets.data(), &FPowers[b]);
        }
    }
    for (; b < BlockCount; ++b) {
        const int16_t* block = Samples + b * BlockSamples;
        if (FPeakLevel) {
            const TSampleStats corrected = StatsOf(block, FBlocks[b].Offsets, false);
            FPowers[b] = TStereoPower{PeakToPower(PeakOf(corrected.Min[0], corrected.Max[0])),
                                      PeakToPower(PeakOf(corrected.Min[1], corrected.Max[1]))};
            continue;
        }
        std::copy(block, block + BlockSamples, FCorrected.begin());
        RemoveOffsets(FCorrected.data(), BlockFrames, FBlocks[b].Offsets[0], FBlocks[b].Offsets[1]);
        FPowers[b] = MeasureRmsPower(FCorrected.data(), BlockFrames);
    }
}

} // namespace measure
