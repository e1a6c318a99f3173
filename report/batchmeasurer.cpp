#include "report/batchmeasurer.h"

#include "analysis/offsetremoval.h"
#include "analysis/peakmeasure.h"
#include "analysis/rmsmeasure.h"
#include "report/rmslanes.h"
#include "report/samplestats.h"

#include <algorithm>
#include <cstdlib>

namespace measure {

namespace {

constexpr size_t BlockSamples = TBatchMeasurer::BlockFrames * SamplesPerFrame;

// The largest magnitude of a channel whose samples lie from Min to Max; at least 1.
int32_t PeakOf(int32_t Min, int32_t Max)
{
    return std::max({1, Max, -Min});
}

} // namespace

TBatchMeasurer::TBatchMeasurer(bool PeakLevel)
    : FPeakLevel(PeakLevel), FShown(PeakLevel), FCorrected(PeakLevel ? 0 : BlockSamples)
{
}

bool TBatchMeasurer::LanesUsed()
{
    return RmsLanesAvailable();
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
        TBlockState& state = FBlocks[b];
        state.Offsets = {static_cast<uint16_t>(FOffsets.LeftOffsetEstimate()),
                         static_cast<uint16_t>(FOffsets.RightOffsetEstimate())};
        const TSampleStats stats = StatsOf(Samples + b * BlockSamples, BlockFrames, state.Offsets);
        state.RawPeak = TStereoPeak{PeakOf(stats.RawMin[0], stats.RawMax[0]), PeakOf(stats.RawMin[1], stats.RawMax[1])};
        state.Peak = TStereoPeak{PeakOf(stats.Min[0], stats.Max[0]), PeakOf(stats.Min[1], stats.Max[1])};
        FOffsets.AddSums(stats.Sum[0], stats.Sum[1], BlockFrames);
    }
}

void TBatchMeasurer::MeasurePowers(const int16_t* Samples, size_t BlockCount)
{
    size_t b = 0;
    if (!FPeakLevel) {
        for (; b + RmsLaneBlocks <= BlockCount; b += RmsLaneBlocks) {
            std::array<uint16_t, RmsLaneBlocks * SamplesPerFrame> offsets{};
            for (size_t i = 0; i < RmsLaneBlocks; ++i)
                std::copy(FBlocks[b + i].Offsets.begin(), FBlocks[b + i].Offsets.end(), offsets.begin() + 2 * i);
            MeasureRmsLanes(Samples + b * BlockSamples, BlockFrames, offsets.data(), &FPowers[b]);
        }
    }
    for (; b < BlockCount; ++b) {
        const TBlockState& state = FBlocks[b];
        if (FPeakLevel)
            FPowers[b] = TStereoPower{PeakToPower(state.Peak.Left), PeakToPower(state.Peak.Right)};
        else
            FPowers[b] = MeasureRmsPower(Corrected(Samples + b * BlockSamples, state), BlockFrames);
    }
}

const int16_t* TBatchMeasurer::Corrected(const int16_t* Block, const TBlockState& State)
{
    std::copy(Block, Block + BlockSamples, FCorrected.begin());
    RemoveOffsets(FCorrected.data(), BlockFrames, State.Offsets[0], State.Offsets[1]);
    return FCorrected.data();
}

} // namespace measure
