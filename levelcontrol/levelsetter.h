#pragma once
// "Set level": the closed loop that moves an input's capture volume until the
// meter reads at a mark. Each step sets the volume the search asks for,
// measures the meter's settled level (TSettledLevel) and hands it to the
// search (TLevelSearch); a result needs its level confirmed over 2 s.
//
// The loop ends with a message: the level found, or why it stopped. Whenever
// it stops without a result (the signal too weak or too loud, the input
// stopped or lost, a mixer that refuses, Cancel, or no result within
// TimeLimitMs) each channel goes back to the volume it had at the start, if
// the loop moved any; a restore that fails is told with the control's reason.
// It never runs longer than TimeLimitMs; the owner calls Tick when no block
// comes.

#include "levelcontrol/levelsearch.h"
#include "levelcontrol/settledlevel.h"

#include "levelcontrol/capturevolume.h"

#include <cstdint>
#include <string>

class TLevelSetter {
public:
    static constexpr uint32_t TimeLimitMs = 15000;
    // Starts at the control's present volume, towards a mark of TargetdB
    // with its tolerance below; Now is GetTickCount's.
    TLevelSetter(TCaptureVolume& Volume, double TargetdB, double TolerancedB, uint32_t Now);

    bool Running() const { return FRunning; }
    bool Succeeded() const { return FSucceeded; }
    // The outcome, once it has stopped: "Level set: -3.1 dB at volume 42 %".
    const std::string& Message() const { return FMessage; }
    // Milliseconds from the start to the end (or to now, while running).
    uint32_t Elapsed() const { return FElapsed; }
    int Steps() const { return FSearch.Measurements(); }

    // The level the meter shows for one live block: the higher of the two bars.
    void BlockShown(double LevelDb, uint32_t Now);
    // Ends the loop when the time is up, whether or not blocks come.
    void Tick(uint32_t Now);
    // Stops without a result, each channel restored; Why starts the message.
    void Stop(const std::string& Why);

private:
    void Apply();
    void Finish(const std::string& Message, bool Success);

    TCaptureVolume& FVolume;
    TVolumeSnapshot FSaved; // each channel's volume at the start
    bool FMoved = false;    // the loop has written a volume
    TLevelSearch FSearch;
    TSettledLevel FMeasure;
    uint32_t FStart = 0;
    uint32_t FElapsed = 0;
    bool FRunning = true;
    bool FSucceeded = false;
    std::string FMessage;
};
