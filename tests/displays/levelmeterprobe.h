#pragma once
// A level meter whose protected state tests may read and set, on a form
// shown on the offscreen platform.

#include "displays/levelmeter.h"
#include "platform/application.h"
#include "platform/form.h"
#include "platform/timer.h"

#include <memory>

class TProbeMeter : public TLevelMeter {
public:
    using TLevelMeter::TLevelMeter;

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
    int Paints = 0;

protected:
    void Paint() override
    {
        ++Paints;
        TLevelMeter::Paint();
    }
};

// The main window's meter: Left 48, Top 16, 41 x 289, on a shown form.
struct TMeterOnForm {
    TMeterOnForm()
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 300, 340);
        Meter = new TProbeMeter(Form.get());
        Meter->SetName("LevelMeter");
        Meter->SetParent(Form.get());
        Meter->SetBounds(48, 16, 41, 289);
    }
    void Show()
    {
        Form->Show();
        Application.ProcessMessages();
    }

    std::unique_ptr<TForm> Form;
    TProbeMeter* Meter = nullptr;
};
