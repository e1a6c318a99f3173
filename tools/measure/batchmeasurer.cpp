#include "tools/measure/batchmeasurer.h"

#include "analysis/offsetremoval.h"
#include "analysis/peakmeasure.h"
#include "analysis/rmsmeasure.h"
#include "tools/measure/rmslanes.h"
#include "tools/measure/samplestats.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace measure {

namespace {

constexpr size_t BlockSamples = TBatchMeasurer::BlockFrames * SamplesPerFrame;
constexpr int32_t SampleMin = std::numeric_limits<int16_t>::min();
constexpr int32_t SampleMax = std::numeric_limits<int16_t>::max();

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
    : FPeakLevel(PeakLevel), FShown(PeakLevel)
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
        const TSampleStats raw = StatsOf(block, BlockFrames);
        TBlockState& state = FBlocks[b];
        state.RawPeak = TStereoPeak{PeakOf(raw.Min[0], raw.Max[0]), PeakOf(raw.Min[1], raw.Max[1])};
        state.Offsets = {static_cast<uint16_t>(FOffsets.LeftOffsetEstimate()),
                         static_cast<uint16_t>(FOffsets.RightOffsetEstimate())};
        state.Min = raw.Min;
        state.Max = raw.Max;
        state.MayWrap = MayWrap(raw.Min[0], raw.Max[0], state.Offsets[0]) ||
                        MayWrap(raw.Min[1], raw.Max[1], state.Offsets[1]);
        if (state.MayWrap) {
            FOffsets.AddBlock(Corrected(block, state), BlockFrames);
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
        const TBlockState& state = FBlocks[b];
        const int16_t* block = Samples + b * BlockSamples;
        if (!FPeakLevel)
            FPowers[b] = MeasureRmsPower(Corrected(block, state), BlockFrames);
        else if (state.MayWrap)
            FPowers[b] = MeasurePeakPower(Corrected(block, state), BlockFrames);
        else // the corrected samples run from Min - offset to Max - offset
            FPowers[b] = TStereoPower{PeakToPower(CorrectedPeak(state, 0)), PeakToPower(CorrectedPeak(state, 1))};
    }
}

const int16_t* TBatchMeasurer::Corrected(const int16_t* Block, const TBlockState& State)
{
    if (FCorrected.empty())
        FCorrected.resize(BlockSamples); // once, when first needed: most files never need it
    std::copy(Block, Block + BlockSamples, FCorrected.begin());
    RemoveOffsets(FCorrected.data(), BlockFrames, State.Offsets[0], State.Offsets[1]);
    return FCorrected.data();
}

int32_t TBatchMeasurer::CorrectedPeak(const TBlockState& State, size_t Channel)
{
    const auto offset = static_cast<int16_t>(State.Offsets[Channel]);
    return PeakOf(State.Min[Channel] - offset, State.Max[Channel] - offset);
}

} // namespace measure
