#pragma once
// One measurement of the level search: the level the meter settles at after
// a change of the capture volume, taken from the levels it shows block by block.
//
// The meter's level (the higher of the two bars) follows a change late and
// slowly. First the blocks already on their way through the sound server
// still carry the old volume: DeadBlocks are ignored. Then the smoothing
// (three quarters old, one quarter new per block) moves the level
// geometrically toward the new one: when it changes by d per block, about 3d
// is left to go. The level counts as settled when it has changed by less than
// a step for a few blocks in a row, or after SettleLimitBlocks however it
// moves (a signal that never stands still). Then the measurement is the
// highest level over WindowBlocks, moved by what the smoothing has left to go.
//
// A reading that may be the result must be exact: when the level lies within
// the tolerance below the target (or the search asks for a final reading),
// the measurement goes on until the level is still to FinalStepDb, and is
// then the highest level over the following FullWindowBlocks (2 s), as the
// meter shows it to the operator.
//
// Other readings need not wait for the smoothing: the search only asks on
// which side of the window the level lies. A level that falls and is already
// below the tolerance will only fall further, one that rises and is already
// above the target only rise; and one that moves toward the window but is
// still far from it, with its step times RemainingSteps (what the smoothing
// has left to go) beyond a margin, will settle outside it. Such a reading
// ends the measurement at once.

class TSettledLevel {
public:
    static constexpr int DeadBlocks = 4;          // 0.4 s: the server's buffers after a change
    static constexpr double RoughStepDb = 0.05;   // change per block that counts as still, for a side
    static constexpr int RoughBlocks = 2;
    static constexpr double FinalStepDb = 0.01;   // the same for a result: about 0.03 dB left to go
    static constexpr int FinalBlocks = 3;
    static constexpr int SettleLimitBlocks = 10;  // 1 s
    static constexpr int WindowBlocks = 3;        // 0.3 s
    static constexpr int FullWindowBlocks = 20;   // 2 s: the reading a result needs
    static constexpr double ClearMarginDb = 0.25; // how far past a limit a moving level must be
    static constexpr double RemainingSteps = 3.0; // the smoothing's distance still to go, in last steps
    static constexpr double ForecastMarginDb = 0.5; // how far past a limit that forecast must be

    // Measures against the window [TargetdB - TolerancedB, TargetdB].
    TSettledLevel(double TargetdB, double TolerancedB);

    // Starts a new measurement after a change of volume; a Final one is
    // always exact. The first reading of a search is taken Unhurried, without
    // the early ends: nothing says that the input stands still before it
    // (an input that has just started still rises).
    void Restart(bool Final = false, bool Unhurried = false);
    // Takes the level the meter shows for one block; true once the
    // measurement is complete, when LevelDb holds it.
    bool Add(double LevelDb);
    double LevelDb() const { return FResultDb; }

private:
    // Whether a level moving by StepDb per block will settle outside the window.
    bool Clear(double LevelDb, double StepDb) const;
    void Settling(double StepDb);
    bool Windowing(double LevelDb);
    bool Complete(double LevelDb);

    double FTargetDb = 0.0;
    double FToleranceDb = 0.0;
    bool FFinal = false;
    bool FUnhurried = false;  // no early end
    int FBlocks = 0;          // since Restart
    double FPreviousDb = 0.0; // the level of the block before
    int FStillBlocks = 0;     // blocks in a row that changed by less than the settling step
    int FSettlingBlocks = 0;  // blocks spent settling
    bool FSettled = false;
    int FWindowBlocks = 0;    // blocks in the window so far
    double FWindowMaxDb = 0.0;
    double FWindowFirstDb = 0.0; // the window's first level
    double FResultDb = 0.0;
    bool FComplete = false;
};
