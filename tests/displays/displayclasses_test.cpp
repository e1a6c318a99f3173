// The display controls created from a form description, as the main window
// places them.

#include "displays/led.h"
#include "displays/levelmeter.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/forms/formloader.h"
#include "support/frozenclock.h"

#include <gtest/gtest.h>

namespace {

const char* const MainWindowPart = R"(object Probe: TForm
  ClientWidth = 300
  ClientHeight = 320
  Color = clBtnFace
  object LevelMeter: TLevelMeter
    Left = 48
    Top = 16
    Width = 41
    Height = 289
    LeftdB = -50.000000000000000000
    RightdB = -50
    MindB = -40
  end
  object LED1: TLED
    Left = 128
    Top = 276
    Colour = clGreen
  end
end
)";

const char* const EveryProperty = R"(object Probe: TForm
  object Meter: TLevelMeter
    Left = 1
    Top = 2
    Width = 30
    Height = 100
    BackgroundColour = clNavy
    LeftdB = -12.5
    RightdB = 3
    MaxdB = 10
    MindB = -70
    IntervaldB = 20
    BarColour = clLime
    DecayRate = 40
    Visible = False
  end
  object Lamp: TLED
    Left = 5
    Top = 6
    Width = 20
    Height = 21
    Colour = 255
  end
end
)";

TEST(DisplayClassesTest, MainWindowMeterAndLedLoadAndPaint)
{
    TFrozenClock clock(5000);
    TForm form(nullptr);
    ReadFormTexts(form, {{"forms/Probe.qfm", MainWindowPart}});
    auto* meter = dynamic_cast<TLevelMeter*>(form.FindComponent("LevelMeter"));
    auto* led = dynamic_cast<TLED*>(form.FindComponent("LED1"));
    ASSERT_NE(meter, nullptr);
    ASSERT_NE(led, nullptr);
    EXPECT_EQ(meter->Parent(), &form);
    EXPECT_EQ(meter->BoundsRect(), Rect(48, 16, 89, 305));
    EXPECT_EQ(meter->LeftdB(), -50.0f);
    EXPECT_EQ(meter->RightdB(), -50.0f);
    EXPECT_EQ(meter->MindB(), -40);
    EXPECT_EQ(meter->MaxdB(), 0) << "the rest at their defaults";
    EXPECT_EQ(meter->IntervaldB(), 10);
    EXPECT_EQ(meter->dBToY(-20), 145) << "the inner geometry came through SetBounds";
    EXPECT_EQ(led->Parent(), &form);
    EXPECT_EQ(led->BoundsRect(), Rect(128, 276, 145, 293)) << "17 x 17 by default";
    EXPECT_EQ(led->Colour(), clGreen);

    form.Show();
    Application.ProcessMessages();
    form.Repaint();
    meter->Repaint();
    EXPECT_EQ(form.SurfacePixel(128 + 8, 276 + 8), clGreen) << "a dark green body";
    EXPECT_EQ(form.SurfacePixel(128 + 1, 276 + 1), clBtnFace);
    EXPECT_EQ(meter->SurfacePixel(10, 287), 0x404040u) << "no bar at -50 on a -40 floor";
    EXPECT_EQ(meter->SurfacePixel(1, 145), clSilver);
}

TEST(DisplayClassesTest, EveryPublishedPropertyIsRead)
{
    TForm form(nullptr);
    ReadFormTexts(form, {{"forms/Probe.qfm", EveryProperty}});
    auto* meter = dynamic_cast<TLevelMeter*>(form.FindComponent("Meter"));
    auto* lamp = dynamic_cast<TLED*>(form.FindComponent("Lamp"));
    ASSERT_NE(meter, nullptr);
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(meter->BackgroundColour(), clNavy);
    EXPECT_EQ(meter->LeftdB(), -12.5f);
    EXPECT_EQ(meter->RightdB(), 3.0f);
    EXPECT_EQ(meter->MaxdB(), 10);
    EXPECT_EQ(meter->MindB(), -70);
    EXPECT_EQ(meter->IntervaldB(), 20);
    EXPECT_EQ(meter->BarColour(), clLime);
    EXPECT_EQ(meter->DecayRate(), 40);
    EXPECT_FALSE(meter->Visible());
    EXPECT_EQ(lamp->BoundsRect(), Rect(5, 6, 25, 27));
    EXPECT_EQ(lamp->Colour(), clRed);
}

} // namespace
