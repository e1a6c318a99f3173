#pragma once
// "Set level": the closed loop that moves an input's capture volume until the
// peaks the meter shows read at a mark. Each step sets the volume the search
// asks for (TLevelSearch), waits out the capture latency and the meter's
// smoothing, and reads the highest level over a window (TSettledLevel); a
// result is verified over 8 s. The latency is measured on the first step: the
// first block whose level moved.
//
// The loop ends with a message: the peaks verified and the volume, or why it
// stopped. Whenever it stops without a result (no signal, the signal too weak
// or too loud, the input stopped or lost, a mixer that refuses, Cancel, or no
// result within TimeLimitMs) each channel goes back to the volume it had at
// the start, if the loop moved any; a restore that fails is told with the
// control's reason. It never runs longer than TimeLimitMs; the owner calls
// Tick when no block comes.

#include "levelcontrol/capturevolume.h"
#include "levelcontrol/levelsearch.h"
#include "levelcontrol/settledlevel.h"

#include <cstdint>
#include <string>

class TLevelSetter {
public:
    static constexpr uint32_t TimeLimitMs = 30000;
    static constexpr int StartSkipBlocks = 5;   // 0.5 s: a level the input has just started rising
    static constexpr int LongestLatencyBlocks = 5; // 0.5 s: waited on the first step, before it is measured

    // Starts at the control's present volume, towards a mark of TargetdB
    // with its tolerance below; Now is GetTickCount's.
    TLevelSetter(TCaptureVolume& Volume, double TargetdB, double TolerancedB, uint32_t Now);

    bool Running() const { return FRunning; }
    bool Succeeded() const { return FSucceeded; }
    // The outcome, once it has stopped: "Level set: peaks at -3.2 dB over 8 s, volume 62 %".
    const std::string& Message() const { return FMessage; }
    // While running: what it does, "Measuring peaks... 5 s".
    std::string Progress() const;
    // Milliseconds from the start to the end (or to now, while running).
    uint32_t Elapsed() const { return FElapsed; }
    int Steps() const { return FSearch.Measurements(); }
    // The capture latency measured on the first step, in blocks; -1 until then.
    int LatencyBlocks() const { return FLatencyBlocks; }

    // The level the meter shows for one live block: the higher of the two bars.
    void BlockShown(double LevelDb, uint32_t Now);
    // Ends the loop when the time is up, whether or not blocks come.
    void Tick(uint32_t Now);
    // Stops without a result, each channel restored; Why starts the message.
    void Stop(const std::string& Why);

private:
    void Apply();
    void Ended();
    void Finish(const std::string& Message, bool Success);

    TCaptureVolume& FVolume;
    TVolumeSnapshot FSaved; // each channel's volume at the start
    bool FMoved = false;    // the loop has written a volume
    TLevelSearch FSearch;
    TSettledLevel FMeasure;
    double FShownDb = 0.0;  // the level of the last block shown
    int FLatencyBlocks = -1;
    bool FMeasuringLatency = false; // the reading under way follows the first step
    uint32_t FStart = 0;
    uint32_t FElapsed = 0;
    bool FRunning = true;
    bool FSucceeded = false;
    std::string FMessage;
};
