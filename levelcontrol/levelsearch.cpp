#include "levelcontrol/levelsearch.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double DecibelsPerDecade = 20.0;
constexpr double SmallestSlope = 0.3; // flatter than this the model is wrong
constexpr double LargestSlope = 30.0;
constexpr double SmallestMoveDb = 0.3; // a learned slope needs readings at least this far apart

} // namespace

TLevelSearch::TLevelSearch(long Min, long Max, long Start, double TargetdB, double TolerancedB,
                           std::function<double(long)> GainAt)
    : FMin(Min), FMax(std::max(Min, Max)), FTargetDb(TargetdB), FToleranceDb(TolerancedB),
      FScale(std::move(GainAt)), FVolume(std::clamp(Start, FMin, FMax))
{
}

double TLevelSearch::GainAt(long Volume) const
{
    if (FScale)
        return FScale(Volume);
    // Step Min stands in for one step above it: the model has no gain at 0.
    const double share = std::max(1.0, double(Volume - FMin)) / std::max(1L, FMax - FMin);
    return FSlope * DecibelsPerDecade * std::log10(share);
}

long TLevelSearch::VolumeFor(double GainDb) const
{
    // The highest step whose gain is at most GainDb; a higher step never has less.
    long low = FMin, high = FMax;
    if (GainAt(FMin) > GainDb)
        return FMin;
    while (low < high) {
        const long middle = low + (high - low + 1) / 2;
        if (GainAt(middle) <= GainDb)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

void TLevelSearch::Learn(long Volume, double PeakDb)
{
    if (FScale || !FLastKnown || Volume == FLastVolume || std::abs(PeakDb - FLastDb) < SmallestMoveDb)
        return;
    const double decades = std::log10(std::max(1.0, double(Volume - FMin)) / std::max(1.0, double(FLastVolume - FMin)));
    const double slope = (PeakDb - FLastDb) / (DecibelsPerDecade * decades);
    if (slope >= SmallestSlope && slope <= LargestSlope)
        FSlope = slope;
    else
        FMappingWrong = true;
}

void TLevelSearch::Measured(double PeakDb)
{
    if (FState != TLevelSearchState::lsMeasuring)
        return;
    ++FMeasurements;
    const long volume = FVolume;
    const bool verified = FVerifying;
    if (PeakDb <= FloorDb) {
        if (volume == FMax)
            End(TLevelSearchState::lsNoSignal, PeakDb);
        else
            StepTo(FMax, false);
        return;
    }
    Learn(volume, PeakDb);
    FLastKnown = true;
    FLastVolume = volume;
    FLastDb = PeakDb;
    const bool within = PeakDb <= FTargetDb && PeakDb >= FTargetDb - FToleranceDb;
    if (within && verified) {
        End(TLevelSearchState::lsDone, PeakDb);
        return;
    }
    if (PeakDb < FTargetDb - FToleranceDb && volume == FMax) {
        End(TLevelSearchState::lsTooWeak, PeakDb);
        return;
    }
    if (PeakDb > FTargetDb && volume == FMin) {
        End(TLevelSearchState::lsTooLoud, PeakDb);
        return;
    }
    if (!within) {
        Bracket(volume, PeakDb);
        // Only a new reading of Low itself changes whether Low was verified.
        if (FLowKnown && FLow == volume)
            FLowVerified = verified;
    }
    if (FState == TLevelSearchState::lsMeasuring)
        Next(volume, PeakDb);
}

void TLevelSearch::Bracket(long Volume, double PeakDb)
{
    if (PeakDb > FTargetDb) {
        FHigh = FHighKnown ? std::min(FHigh, Volume) : Volume;
        FHighKnown = true;
    } else if (!FLowKnown || Volume >= FLow) {
        FLow = Volume;
        FLowDb = PeakDb;
        FLowKnown = true;
    }
}

void TLevelSearch::Next(long Volume, double PeakDb)
{
    // Aim at the middle of the tolerance: the peaks over the longer window
    // may lie a little above those of a shorter one.
    const double aim = FTargetDb - FToleranceDb / 2;
    long next = VolumeFor(GainAt(Volume) + aim - PeakDb);
    // A coarse control: the step above may still be at or below the mark,
    // where the one aimed at is below the tolerance.
    const auto predicted = [&](long Step) { return PeakDb + GainAt(Step) - GainAt(Volume); };
    if (next < FMax && predicted(next) < FTargetDb - FToleranceDb && predicted(next + 1) <= FTargetDb)
        ++next;
    const long low = FLowKnown ? FLow : FMin - 1;
    const long high = FHighKnown ? FHigh : FMax + 1;
    if (FLowKnown && FHighKnown && FHigh - FLow <= 1) {
        // No step between: the closest below the mark, verified.
        FCoarse = true;
        if (FLowVerified) {
            FVolume = FLow;
            End(TLevelSearchState::lsDone, FLowDb);
            return;
        }
        StepTo(FLow, true);
        return;
    }
    if (FMappingWrong && FLowKnown && FHighKnown)
        next = low + (high - low) / 2; // the mapping proved wrong: bisect what was measured
    // Never back to a step already read on the wrong side.
    next = std::clamp(next, low + 1, high - 1);
    StepTo(std::clamp(next, FMin, FMax), true);
}

void TLevelSearch::StepTo(long Volume, bool Verify)
{
    FExpectedDb = GainAt(Volume) - GainAt(FVolume);
    FVolume = Volume;
    FVerifying = Verify;
}

void TLevelSearch::End(TLevelSearchState State, double PeakDb)
{
    FState = State;
    FLevelDb = PeakDb;
}
