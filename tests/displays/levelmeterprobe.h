#pragma once
// A level meter whose protected state tests may read and set, on a form
// shown on the offscreen platform.

#include "displays/levelmeter.h"
#include "paintcounted.h"
#include "platform/kernel/timer.h"
#include "support/controlonform.h"

#include <memory>

class TProbeMeter : public TPaintCounted<TLevelMeter> {
public:
    using TPaintCounted::TPaintCounted;

    float ShownLeftdB() const { return FShownLeftdB; }
    float ShownRightdB() const { return FShownRightdB; }
    void SetShown(float Left, float Right)
    {
        FShownLeftdB = Left;
        FShownRightdB = Right;
    }
    uint32_t LastTick() const { return FLastTick; }
    int UpdateCount() const { return FUpdateCount; }
    bool DelayTimerEnabled() const { return FDelayTimer->Enabled(); }
    int DelayTimerInterval() const { return FDelayTimer->Interval(); }
    bool LabelsCreated() const { return FLabelsCreated; }
};

// The main window's meter: Left 48, Top 16, 41 x 289, on a form shown by Show.
struct TMeterOnForm {
    TMeterOnForm()
    {
        Meter = MakeMainWindowMeter<TProbeMeter>(Form);
        Meter->SetName("LevelMeter");
    }
    void Show() { ShowAndHandle(*Form); }

    std::unique_ptr<TForm> Form;
    TProbeMeter* Meter = nullptr;
};
