#pragma once
// One reading of the level search: the highest level the meter shows (the
// higher of its two bars, block by block) over a window long enough for a
// modulated signal, after a change of the capture volume has reached it.
//
// 1. The first SkipBlocks blocks are not counted: those still on their way
//    through the sound server at the old volume (the capture latency), and
//    those while the meter's smoothing moves to the new level.
// 2. While skipping, the reading notes the first block whose level moved
//    from the one before the change, by at least MovedDb in the expected
//    direction: the latency that the setter measures on its first step.
// 3. Then the reading is the highest level over at least WindowBlocks; it
//    goes on while the level still rises (a new high by RisingDb within the
//    last RiseBlocks), up to LongestBlocks. A verification asks for a longer
//    window, and ends early only when its first WindowBlocks (the shortest
//    window that counts) already passed the mark: no single block decides.

class TSettledLevel {
public:
    static constexpr int WindowBlocks = 40;   // 4 s: the shortest window over which a peak counts
    static constexpr int LongestBlocks = 60;  // 6 s: a reading whose level still rises
    static constexpr int VerifyBlocks = 80;   // 8 s: the window that verifies a result
    static constexpr int RiseBlocks = 10;     // 1 s
    static constexpr double RisingDb = 0.1;   // a new high by this much is still rising

    // Starts a reading of Window blocks (WindowBlocks or VerifyBlocks) after
    // Skip blocks; MarkDb ends a long window early when passed. ExpectedDb is
    // the change the step is expected to bring (0: none), FromDb the level
    // shown before it.
    void Restart(int Skip, int Window, double MarkDb, double ExpectedDb = 0.0, double FromDb = 0.0);
    // Takes the meter's higher bar for one block; true once the reading is complete.
    bool Add(double LevelDb);

    double PeakDb() const { return FPeakDb; }
    // Blocks counted in the window.
    int WindowCount() const { return FWindow; }
    // Blocks from Restart to the first that moved as expected; -1 while none has.
    int MovedAfter() const { return FMovedAfter; }

private:
    bool Moved(double LevelDb) const;

    int FSkip = 0;
    int FWindowBlocks = WindowBlocks;
    double FMarkDb = 0.0;
    double FExpectedDb = 0.0;
    double FFromDb = 0.0;
    int FBlocks = 0;        // since Restart
    int FWindow = 0;        // blocks in the window so far
    double FPeakDb = 0.0;   // the window's highest level
    int FPeakBlock = 0;     // the window block where PeakDb rose by RisingDb last
    int FMovedAfter = -1;
    bool FComplete = false;
};
