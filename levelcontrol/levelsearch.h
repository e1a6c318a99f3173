#pragma once
// The search for the capture volume at which a steady input reads at a mark:
// the step of the mixer where the measured level equals the target within a
// tolerance below it, and does not exceed it.
//
// The mixer's steps are searched by bisection, so nothing about the mixer's
// curve is assumed (linear in dB, cubic, coarse) beyond this: a higher step
// never gives a lower level. The search keeps a bracket: Low, the highest step
// measured at or below the target, and High, the lowest step measured above it.
// 1. The first step measured is the one the mixer has now (Start): an
//    operator usually starts near the right level.
// 2. A level within the tolerance below the target ends the search there.
// 3. While every level so far was too low, the next step is Max, so that a
//    signal too weak even at full volume is told at the second measurement.
// 4. Otherwise the next step is the middle of the bracket, Min standing in
//    for an unmeasured Low; once the bracket narrows to Min, Min itself is
//    measured, and a level still above the target there means the input is
//    too loud even at the lowest volume.
// 5. When Low and High are neighbouring steps the mixer has no step within
//    the tolerance: Low is measured once more, exactly (Final), and the
//    search ends there, at the closest level below the mark (Coarse). A
//    few-step mixer ends so.
// Each measurement halves the bracket, so a mixer of N steps needs about
// log2(N) + 2 measurements: 18 for the 65537 steps of a sound server's volume,
// though the tolerance usually ends it well before. A noisy measurement may
// send the bisection the wrong way once, but the bracket still narrows, and
// the end is always a step whose own measurement was at or below the target.

#include <cstdint>

enum class TLevelSearchState {
    lsMeasuring, // Volume is the step to measure next
    lsDone,      // Volume reads LevelDb, at or below the target
    lsTooWeak,   // even Max reads below the tolerance
    lsTooLoud,   // even Min reads above the target
};

class TLevelSearch {
public:
    // Searches the steps Min..Max, starting at Start, for a level in
    // [TargetdB - TolerancedB, TargetdB].
    TLevelSearch(long Min, long Max, long Start, double TargetdB, double TolerancedB);

    TLevelSearchState State() const { return FState; }
    // While measuring: the step to measure next. Once done: the result. After
    // a failure: the step that showed it (Max or Min).
    long Volume() const { return FVolume; }
    // The level measured at Volume, once the search has ended.
    double LevelDb() const { return FLevelDb; }
    // Done below the tolerance, because no step lies within it.
    bool Coarse() const { return FCoarse; }
    // The next measurement is the last: its level is the result, so it must be exact.
    bool Final() const { return FConfirming; }
    int Measurements() const { return FMeasurements; }
    double TargetDb() const { return FTargetDb; }
    double ToleranceDb() const { return FToleranceDb; }

    // Takes the level measured at Volume and chooses the next step, or ends.
    void Measured(double LevelDb);

private:
    void ChooseNext();
    void End(TLevelSearchState State, long Volume, double LevelDb);

    long FMin = 0;
    long FMax = 0;
    double FTargetDb = 0.0;    // the mark, dB against a full-scale sine
    double FToleranceDb = 0.0; // how far below the mark a level may lie, dB
    long FLow = 0;             // highest step measured at or below the target (valid when FLowKnown)
    bool FLowKnown = false;
    long FHigh = 0;            // lowest step measured above the target (valid when FHighKnown)
    bool FHighKnown = false;
    long FVolume = 0;
    double FLevelDb = 0.0;
    bool FCoarse = false;
    bool FConfirming = false;  // Volume is Low, measured again for the result
    int FMeasurements = 0;
    TLevelSearchState FState = TLevelSearchState::lsMeasuring;
};
