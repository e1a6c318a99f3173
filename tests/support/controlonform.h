#pragma once
// Controls on real forms for tests and benchmarks: a fresh form that owns and
// parents a new control, and the place the main window gives its level meter.

#include "platform/forms/application.h"
#include "platform/forms/form.h"

#include <memory>

// The main window's meter: Left 48, Top 16, 41 x 289 pixels, on a form of
// 300 x 340 pixels.
constexpr int MainMeterLeft = 48;
constexpr int MainMeterTop = 16;
constexpr int MainMeterWidth = 41;
constexpr int MainMeterHeight = 289;
constexpr int MainMeterFormWidth = 300;
constexpr int MainMeterFormHeight = 340;

// Makes Form a fresh form of FormWidth x FormHeight pixels and returns a new
// control of class TControl that the form owns and parents.
template <class TControl>
TControl* MakeOnForm(std::unique_ptr<TForm>& Form, int FormWidth, int FormHeight)
{
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, FormWidth, FormHeight);
    auto* control = new TControl(Form.get());
    control->SetParent(Form.get());
    return control;
}

// The same for a meter of class TMeter where the main window places its meter.
template <class TMeter>
TMeter* MakeMainWindowMeter(std::unique_ptr<TForm>& Form)
{
    auto* meter = MakeOnForm<TMeter>(Form, MainMeterFormWidth, MainMeterFormHeight);
    meter->SetBounds(MainMeterLeft, MainMeterTop, MainMeterWidth, MainMeterHeight);
    return meter;
}

// Shows Form and handles the events that showing it posts.
inline void ShowAndHandle(TForm& Form)
{
    Form.Show();
    Application.ProcessMessages();
}
