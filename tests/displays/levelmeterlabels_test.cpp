#include "levelmeterprobe.h"
#include "platform/widgets/label.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct TExpectedLabel {
    std::string Name;
    std::string Caption;
    int Left;
    int Top;
};

class LevelMeterLabelsTest : public ::testing::Test {
protected:
    TLabel* Find(const std::string& Name) const
    {
        return dynamic_cast<TLabel*>(Setup.Form->FindComponent(Name));
    }
    void ExpectLabels(const std::vector<TExpectedLabel>& Expected) const
    {
        for (const TExpectedLabel& e : Expected) {
            TLabel* label = Find(e.Name);
            ASSERT_NE(label, nullptr) << e.Name;
            EXPECT_EQ(label->Caption(), e.Caption) << e.Name;
            EXPECT_EQ(label->Left(), e.Left) << e.Name;
            EXPECT_EQ(label->Top(), e.Top) << e.Name;
            EXPECT_EQ(label->Parent(), Setup.Form.get()) << e.Name;
            EXPECT_EQ(label->Owner(), Setup.Form.get()) << e.Name;
        }
    }

    TMeterOnForm Setup;
};

TEST_F(LevelMeterLabelsTest, CreateLabelsNamesAndPlacesTheScaleAndChannelLabels)
{
    TLevelMeter& meter = *Setup.Meter;
    meter.SetMindB(-40);
    const int before = Setup.Form->ComponentCount();
    meter.CreateLabels();
    EXPECT_EQ(Setup.Form->ComponentCount(), before + 7);
    // Numbers: Left 48 + 41 + 2; Top 16 + dBToY(v) - 5. Channels: Top 16 + 289 + 2.
    ExpectLabels({{"LevelMeter_0", "0", 91, 12},
                  {"LevelMeter_1", "-10", 91, 84},
                  {"LevelMeter_2", "-20", 91, 156},
                  {"LevelMeter_3", "-30", 91, 227},
                  {"LevelMeter_4", "-40", 91, 299},
                  {"LevelMeter_L", "L", 54, 307},
                  {"LevelMeter_R", "R", 75, 307}});
    EXPECT_EQ(Find("LevelMeter_L")->Font().Color, clBlue);
    EXPECT_EQ(Find("LevelMeter_R")->Font().Color, clRed);
    EXPECT_EQ(Find("LevelMeter_0")->Font(), Setup.Form->Font()) << "the parent's font";
    EXPECT_GT(Find("LevelMeter_1")->Width(), Find("LevelMeter_0")->Width()) << "sized to the caption";
    EXPECT_EQ(Find("LevelMeter_5"), nullptr);
    EXPECT_TRUE(Setup.Meter->LabelsCreated());
}

TEST_F(LevelMeterLabelsTest, SecondCreateLabelsDoesNothing)
{
    Setup.Meter->SetMindB(-40);
    Setup.Meter->CreateLabels();
    const int count = Setup.Form->ComponentCount();
    Setup.Meter->SetMindB(-60);
    Setup.Meter->CreateLabels();
    EXPECT_EQ(Setup.Form->ComponentCount(), count);
    EXPECT_EQ(Find("LevelMeter_6"), nullptr);
}

TEST_F(LevelMeterLabelsTest, SetBoundsMovesTheLabelsButAScaleChangeAloneDoesNot)
{
    TLevelMeter& meter = *Setup.Meter;
    meter.SetMindB(-40);
    meter.CreateLabels();
    meter.SetMindB(-60); // repaints with the new scale, moves no label yet
    ExpectLabels({{"LevelMeter_2", "-20", 91, 156}});
    meter.SetBounds(100, 20, 41, 189); // 187 inner rows
    // -20 on (-60 .. 0): 20 * 187 / 60 = 62.33 -> 62, row 63.
    ExpectLabels({{"LevelMeter_0", "0", 143, 16},
                  {"LevelMeter_2", "-20", 143, 20 + 63 - 5},
                  {"LevelMeter_4", "-40", 143, 20 + meter.dBToY(-40) - 5},
                  {"LevelMeter_L", "L", 106, 211},
                  {"LevelMeter_R", "R", 127, 211}});
    meter.SetLeft(110);
    ExpectLabels({{"LevelMeter_3", "-30", 153, 20 + meter.dBToY(-30) - 5}, {"LevelMeter_R", "R", 137, 211}});
}

TEST_F(LevelMeterLabelsTest, LabelsOffTheNewScaleStayWhereTheyAre)
{
    TLevelMeter& meter = *Setup.Meter;
    meter.SetMindB(-40);
    meter.CreateLabels();
    meter.SetMindB(-20);
    meter.SetBounds(48, 30, 41, 289);
    ExpectLabels({{"LevelMeter_2", "-20", 91, 30 + 288 - 5}, {"LevelMeter_3", "-30", 91, 227}});
    delete Find("LevelMeter_1"); // a label gone from the parent is skipped
    EXPECT_NO_THROW(meter.SetBounds(48, 40, 41, 289));
    ExpectLabels({{"LevelMeter_0", "0", 91, 40 + 1 - 5}});
}

TEST_F(LevelMeterLabelsTest, ScaleWithAPositiveTopRefusesTheRepeatedName)
{
    TLevelMeter& meter = *Setup.Meter;
    meter.SetMaxdB(10);
    meter.SetMindB(-60);
    // +10 is LevelMeter_1; -10 would be LevelMeter_1 again.
    EXPECT_THROW(meter.CreateLabels(), EComponentError);
    ASSERT_NE(Find("LevelMeter_1"), nullptr);
    EXPECT_EQ(Find("LevelMeter_1")->Caption(), "10");
    int unnamed = 0;
    for (int i = 0; i < Setup.Form->ComponentCount(); ++i)
        unnamed += Setup.Form->Components(i)->Name().empty();
    EXPECT_EQ(unnamed, 0) << "the refused label does not stay behind";
}

TEST(LevelMeterLabelsWithoutParent, CreateLabelsWithoutAParentMakesNothing)
{
    TComponent owner(nullptr);
    auto* meter = new TProbeMeter(&owner);
    meter->SetBounds(0, 0, 41, 289);
    EXPECT_NO_THROW(meter->CreateLabels());
    EXPECT_FALSE(meter->LabelsCreated());
    EXPECT_EQ(owner.ComponentCount(), 1);
}

} // namespace
