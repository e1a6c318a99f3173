#pragma once
// The stereo decibel meter: two vertical bars (left channel left, right
// channel right) inside the sunken frame, with silver scale lines every
// IntervaldB decibels between MindB (bottom) and MaxdB (top). A bar rises at
// once to a higher level written to LeftdB or RightdB and falls back at
// DecayRate decibels per second; a one-shot 125 ms delay timer keeps the
// meter repainting while a bar can still fall.

#include "displays/flickerlessborderedcustomcontrol.h"

#include <cstdint>
#include <string>

class TTimer;

class TLevelMeter : public TFlickerlessBorderedCustomControl {
public:
    explicit TLevelMeter(TComponent* AOwner);
    ~TLevelMeter() override;

    // Levels in decibels relative to full scale; every write requests a repaint.
    float LeftdB() const { return FLeftdB; }
    void SetLeftdB(float Value);
    float RightdB() const { return FRightdB; }
    void SetRightdB(float Value);
    // The scale; callers keep MindB < MaxdB and IntervaldB > 0.
    int MaxdB() const { return FMaxdB; }
    virtual void SetMaxdB(int Value);
    int MindB() const { return FMindB; }
    virtual void SetMindB(int Value);
    int IntervaldB() const { return FIntervaldB; }
    void SetIntervaldB(int Value);
    TColor BarColour() const { return FBarColour; }
    void SetBarColour(TColor Value);
    // Decibels per second; a new value takes effect at the next paint.
    int DecayRate() const { return FDecayRate; }
    void SetDecayRate(int Value) { FDecayRate = Value; }

    // While updates are pending the meter draws no bars and does not decay.
    void BeginUpdate();
    void EndUpdate();

    // The pixel row of a level in the meter's own coordinates: MaxdB is row 1,
    // MindB row Height - 1; nothing is clamped to the control.
    int dBToY(float Value) const;

    // The scale labels on the parent: numbers to the right, "L" and "R" below.
    void CreateLabels() override;
    // Also moves the scale labels along with the meter.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // The delay timer's handler: asks for the paint that continues the decay.
    void DelayTimerTimer(TObject* Sender);

protected:
    void DrawContent(TCanvas& ACanvas) override;

    // Paint-suppression count: BeginUpdate adds 1, EndUpdate subtracts 1.
    int FUpdateCount = 0;
    // The latest levels written, dB.
    float FLeftdB = 0.0f;
    float FRightdB = 0.0f;
    // Level at the top of the scale, dB; 0 by default.
    int FMaxdB = 0;
    // Level at the bottom of the scale, dB; -60 by default.
    int FMindB = 0;
    // Spacing of the scale lines and labels, dB, > 0; 10 by default.
    int FIntervaldB = 0;
    // Colour of the bars, 0x00BBGGRR; pale yellow by default.
    TColor FBarColour = 0;
    // Millisecond tick count of the last decay step (32-bit, wraps around).
    uint32_t FLastTick = 0;
    // The levels the bars show, dB.
    float FShownLeftdB = 0.0f;
    float FShownRightdB = 0.0f;
    // Owned by the meter (as a component); runs DelayTimerTimer once, 125 ms after a paint.
    TTimer* FDelayTimer = nullptr;
    // Fall rate of the bars, dB per second; 20 by default.
    int FDecayRate = 0;
    // Set once CreateLabels has made the labels.
    bool FLabelsCreated = false;

private:
    void Decay();
    void DrawBars(TCanvas& ACanvas);
    void DrawScaleLines(TCanvas& ACanvas);
    std::string ScaleLabelName(int Level) const;
    std::string ChannelLabelName(int Channel) const;
    int ScaleLabelLeft() const;
    int ScaleLabelTop(int Level) const;
    int ChannelLabelLeft(int Channel) const;
    int ChannelLabelTop() const;
    void MoveLabels();
};
