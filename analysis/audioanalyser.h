#pragma once
// TBasicAudioAnalyser: a wave input that measures every full block it
// receives, live or from a file. It takes a constant offset off every sample
// in place, measures each channel as peak or RMS level, smooths that over
// blocks (three quarters old, one quarter new), converts it to dB relative to
// a full-scale sine and writes both levels to a level meter. Then it hands a
// copy of the block's header to OnData and offers the block to an optional
// audio display, which may ask for the input to stop. When the device closes
// both bars fall to the meter's floor.

#include "audio/wavein.h"

#include <cstdint>
#include <span>

class TAudioDisplay;
class TLevelMeter;

class TBasicAudioAnalyser : public TWaveIn {
public:
    explicit TBasicAudioAnalyser(TComponent* AOwner);

    // Every write, even of the current value, clears the display's block
    // counter before the device is opened or closed.
    void SetEnabled(bool Value) override;

    // Sample units taken off every left (right) sample before anything sees
    // it; only the low 16 bits count, and the subtraction wraps around.
    int32_t LeftOffset() const { return FLeftOffset; }
    void SetLeftOffset(int32_t Value) { FLeftOffset = Value; }
    int32_t RightOffset() const { return FRightOffset; }
    void SetRightOffset(int32_t Value) { FRightOffset = Value; }

    // The meter that shows the levels; not owned. Without one nothing is measured.
    TLevelMeter* LevelMeter() const { return FLevelMeter; }
    void SetLevelMeter(TLevelMeter* Value);

    // The display offered every full block; not owned. Writing it closes the
    // device, binds the display to this analyser and reopens the device if it
    // was enabled.
    TAudioDisplay* Display() const { return FDisplay; }
    void SetDisplay(TAudioDisplay* Value);

    // Peak level when true, RMS level when false; takes effect with the next block.
    bool PeakLevel() const { return FPeakLevel; }
    void SetPeakLevel(bool Value) { FPeakLevel = Value; }

protected:
    // Drops both bars of the meter to its floor, then closes down as a wave input does.
    void HandleClose() override;
    // One block, FCurrentHeader: a full one is corrected, measured, shown,
    // passed to OnData (as a copy of its header) and to the display, and
    // counted; any other length is left alone. Either goes back to the device
    // unless the display asked to stop.
    void HandleData() override;
    // Forgets a meter or display that is being destroyed.
    void Notification(TComponent* AComponent, TOperation Operation) override;

    int32_t FLeftOffset = 0;       // behind LeftOffset, sample units
    int32_t FRightOffset = 0;      // behind RightOffset, sample units
    float FLeftPower = 0.0f;       // smoothed left power of the last measured block (0.5 = full-scale sine)
    float FRightPower = 0.0f;      // smoothed right power of the last measured block
    float FLastLeftPower = 0.0f;   // left power the next block is smoothed against; 1e-8 at first
    float FLastRightPower = 0.0f;  // right power the next block is smoothed against; 1e-8 at first
    TLevelMeter* FLevelMeter = nullptr; // behind LevelMeter; not owned
    bool FPeakLevel = false;       // behind PeakLevel
    TAudioDisplay* FDisplay = nullptr;  // behind Display; not owned

private:
    void HandleFullBlock(const wavehdr_tag& Header, uint32_t FrameCount, bool& Continue);
    // Measures the corrected block, smooths it and writes both levels to the meter.
    void ShowLevels(std::span<const int16_t> Samples);
    void WriteMeter(float LeftdB, float RightdB);
};
