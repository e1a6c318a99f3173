#pragma once
// "Set level": the closed loop that moves an input's capture volume until the
// meter reads at a mark. Each step sets the volume the search asks for,
// measures the meter's settled level (TSettledLevel) and hands it to the
// search (TLevelSearch); a result needs its level confirmed over 2 s.
//
// The loop ends with a message: the level found, or why it stopped. Whenever
// it stops without a result (the signal too weak or too loud, the input
// stopped or lost, a mixer that refuses, Cancel, or no result within
// TimeLimitMs) the volume goes back to where it was. It never runs longer
// than TimeLimitMs; the owner calls Tick when no block comes.

#include "analysis/levelsearch.h"
#include "analysis/settledlevel.h"

#include <cstdint>
#include <string>

class TCaptureMixer;

class TLevelSetter {
public:
    static constexpr uint32_t TimeLimitMs = 15000;
    static constexpr double ToleranceDb = 0.5;

    // Starts at the mixer's present volume; Now is GetTickCount's.
    TLevelSetter(TCaptureMixer& Mixer, double TargetdB, uint32_t Now);

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
    // Stops without a result, the volume restored; Why starts the message.
    void Stop(const std::string& Why);

private:
    void Apply();
    void Finish(const std::string& Message, bool Success);

    TCaptureMixer& FMixer;
    long FOriginalVolume = 0;
    TLevelSearch FSearch;
    TSettledLevel FMeasure;
    uint32_t FStart = 0;
    uint32_t FElapsed = 0;
    bool FRunning = true;
    bool FSucceeded = false;
    std::string FMessage;
};
