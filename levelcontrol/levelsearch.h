#pragma once
// The search for the capture volume at which an input's peaks read at a
// mark: the step where the highest level over a long window lies within the
// tolerance below the mark (aiming at its middle), and does not pass it.
//
// The steps are computed, not bisected:
// 1. A reading at the starting volume (Start), the volume as the operator left it.
// 2. A step computed to the mark: by the control's own decibel scale where it
//    has one (GainAt), otherwise by a volume-to-level model, dB = Slope *
//    20 log10 of the step's share of the range, whose Slope (3: the sound
//    servers' cubic volume) is learned from each pair of readings.
// 3. A verification reading at that step, over a longer window. Within the
//    tolerance the search ends; otherwise the step is corrected by what the
//    verification showed (down by the excess, up by the shortfall) and
//    verified again.
// A step never leaves the bracket of what was measured: Low, the highest step
// read below the tolerance, and High, the lowest read above the mark, so a
// good lower step is never given up. Where a step moved the level against
// the model (the mapping proved wrong) the next step is the bracket's middle. When
// Low and High are neighbouring steps the mixer has no step within the
// tolerance, and the search ends at Low, verified (Coarse).
// A signal at the meter's floor is read once more at Max: still there, there
// is no signal. Too weak is said only at Max, too loud only at Min.

#include <functional>

enum class TLevelSearchState {
    lsMeasuring, // Volume is the step to read next
    lsDone,      // Volume's verified peak is LevelDb, within the tolerance (or Coarse)
    lsTooWeak,   // even at Max the peaks stay below the tolerance
    lsTooLoud,   // even at Min the peaks pass the mark
    lsNoSignal,  // the level stays at the meter's floor, even at Max
};

class TLevelSearch {
public:
    static constexpr double FloorDb = -60.0; // at or below: nothing at the input (a server's silence reads -73 dB)
    static constexpr double CubicSlope = 3.0; // the first model without a decibel scale

    // Searches Min..Max from Start for peaks in [TargetdB - TolerancedB,
    // TargetdB]; GainAt gives each step's gain in dB where the control tells
    // it, else it is empty.
    TLevelSearch(long Min, long Max, long Start, double TargetdB, double TolerancedB,
                 std::function<double(long)> GainAt = {});

    TLevelSearchState State() const { return FState; }
    // While measuring: the step to read next. Once ended: the step that showed it.
    long Volume() const { return FVolume; }
    // The peak read at Volume, once ended.
    double LevelDb() const { return FLevelDb; }
    bool Coarse() const { return FCoarse; }
    // The next reading verifies a result: it takes the longer window.
    bool Verifying() const { return FVerifying; }
    // The change in dB the next step is expected to bring (0 when it stays).
    double ExpectedChangeDb() const { return FExpectedDb; }
    int Measurements() const { return FMeasurements; }
    double TargetDb() const { return FTargetDb; }

    // Takes the peak read at Volume and chooses the next step, or ends.
    void Measured(double PeakDb);

private:
    double GainAt(long Volume) const;
    long VolumeFor(double GainDb) const;
    void Learn(long Volume, double PeakDb);
    void StepTo(long Volume, bool Verify);
    void Bracket(long Volume, double PeakDb);
    void Next(long Volume, double PeakDb);
    void End(TLevelSearchState State, double PeakDb);

    long FMin = 0;
    long FMax = 0;
    double FTargetDb = 0.0;    // the mark, dB against a full-scale sine
    double FToleranceDb = 0.0; // how far below the mark the peaks may lie, dB
    std::function<double(long)> FScale; // the control's own decibels; empty: the model
    double FSlope = CubicSlope;
    bool FMappingWrong = false; // a step moved the level against the model
    long FLow = 0;             // highest step read below the tolerance (FLowKnown)
    bool FLowKnown = false;
    bool FLowVerified = false; // Low's reading was a verification
    double FLowDb = 0.0;       // Low's peak
    long FHigh = 0;            // lowest step read above the mark (FHighKnown)
    bool FHighKnown = false;
    bool FLastKnown = false;   // a reading above the floor before this one
    long FLastVolume = 0;
    double FLastDb = 0.0;
    long FVolume = 0;
    double FLevelDb = 0.0;
    double FExpectedDb = 0.0;
    bool FVerifying = false;
    bool FCoarse = false;
    int FMeasurements = 0;
    TLevelSearchState FState = TLevelSearchState::lsMeasuring;
};
