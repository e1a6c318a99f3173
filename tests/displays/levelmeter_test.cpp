#include "levelmeterprobe.h"
#include "support/frozenclock.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <utility>
#include <vector>

namespace {

constexpr TColor Background = 0x404040;
constexpr TColor Bar = 0xC0FFFF;
constexpr int W = 41;
constexpr int H = 289;
constexpr int LeftBarX[2] = {3, 17};  // first and last column of the left bar
constexpr int RightBarX[2] = {22, 36};
constexpr uint32_t StartTick = 1000000;
constexpr uint32_t DelayMs = 125;

class LevelMeterTest : public ::testing::Test {
protected:
    LevelMeterTest() : Clock(StartTick) {}

    TProbeMeter& M() { return *Setup.Meter; }
    TColor At(int X, int Y) { return Setup.Meter->SurfacePixel(X, Y); }

    // The first row of the bar that covers column X, or H - 1 when it shows none.
    int BarTop(int X)
    {
        int y = H - 2;
        while (y >= 1 && (At(X, y) == Bar || At(X, y) == clSilver))
            --y;
        // Scale lines lie across the bar; a bar ends where background begins.
        return y + 1;
    }
    std::set<int> SilverRows()
    {
        std::set<int> rows;
        for (int y = 0; y < H; ++y)
            if (At(1, y) == clSilver)
                rows.insert(y);
        return rows;
    }
    void ExpectFrameIntact()
    {
        for (int x = 0; x < W - 1; ++x)
            ASSERT_EQ(At(x, 0), clBlack) << x;
        for (int y = 0; y < H - 1; ++y)
            ASSERT_EQ(At(0, y), clBlack) << y;
        for (int x = 0; x < W; ++x)
            ASSERT_EQ(At(x, H - 1), clWhite) << x;
        for (int y = 0; y < H; ++y)
            ASSERT_EQ(At(W - 1, y), clWhite) << y;
    }
    // A paint after Ms milliseconds.
    void PaintAfter(uint32_t Ms)
    {
        Clock.Advance(Ms);
        M().Repaint();
    }

    TFrozenClock Clock;
    TMeterOnForm Setup;
};

TEST_F(LevelMeterTest, ConstructionGivesTheDefaults)
{
    EXPECT_EQ(M().MaxdB(), 0);
    EXPECT_EQ(M().MindB(), -60);
    EXPECT_EQ(M().IntervaldB(), 10);
    EXPECT_EQ(M().BarColour(), Bar);
    EXPECT_EQ(M().DecayRate(), 20);
    EXPECT_EQ(M().BackgroundColour(), Background);
    EXPECT_EQ(M().LeftdB(), -60.0f) << "run time: the floor";
    EXPECT_EQ(M().RightdB(), -60.0f);
    EXPECT_EQ(M().ShownLeftdB(), -60.0f);
    EXPECT_EQ(M().ShownRightdB(), -60.0f);
    EXPECT_EQ(M().LastTick(), StartTick);
    EXPECT_EQ(M().UpdateCount(), 0);
    EXPECT_EQ(M().DelayTimerInterval(), 125);
    EXPECT_FALSE(M().DelayTimerEnabled());
    EXPECT_FALSE(M().LabelsCreated());
}

TEST(LevelMeterDesigner, ConstructionInADesignerShowsMinus50)
{
    TComponent designer(nullptr);
    designer.SetDesigning(true);
    TLevelMeter* meter = new TLevelMeter(&designer);
    EXPECT_EQ(meter->LeftdB(), -50.0f);
    EXPECT_EQ(meter->RightdB(), -50.0f);
}

TEST_F(LevelMeterTest, dBToYMapsTheScaleOntoTheInnerRows)
{
    M().SetMindB(-40);
    const std::vector<std::pair<float, int>> forty = {{0, 1},     {-10, 73},  {-20, 145}, {-30, 216},
                                                      {-40, 288}, {-50, 360}, {3, -21}};
    for (const auto& [level, row] : forty)
        EXPECT_EQ(M().dBToY(level), row) << level;
    M().SetMindB(-60);
    const std::vector<std::pair<float, int>> sixty = {{0, 1},     {-10, 49},  {-20, 97}, {-30, 145},
                                                      {-40, 192}, {-50, 240}, {-60, 288}};
    for (const auto& [level, row] : sixty)
        EXPECT_EQ(M().dBToY(level), row) << level;
}

TEST_F(LevelMeterTest, dBToYRoundsTiesToEven)
{
    M().SetMindB(-40);
    // -20 scales to 143.5 rows, which goes to 144, not 145.
    EXPECT_EQ(M().dBToY(-20.0f), 145);
    EXPECT_EQ(M().dBToY(-12.0f), 87) << "86.1";
    EXPECT_EQ(M().dBToY(-22.0f), 159) << "157.85";
    M().SetBounds(48, 16, W, 7); // 5 inner rows: every 8 dB is one row
    EXPECT_EQ(M().dBToY(-4.0f), 1) << "0.5 goes to 0";
    EXPECT_EQ(M().dBToY(-12.0f), 3) << "1.5 goes to 2";
    EXPECT_EQ(M().dBToY(-20.0f), 3) << "2.5 goes to 2";
    EXPECT_EQ(M().dBToY(-28.0f), 5) << "3.5 goes to 4";
}

TEST_F(LevelMeterTest, dBToYOfLevelsWithoutAPlaceStaysFarOutside)
{
    M().SetMindB(-40);
    EXPECT_LT(M().dBToY(std::numeric_limits<float>::infinity()), -H);
    EXPECT_GT(M().dBToY(-std::numeric_limits<float>::infinity()), 2 * H);
    EXPECT_GT(M().dBToY(std::numeric_limits<float>::quiet_NaN()), 2 * H);
    EXPECT_GT(M().dBToY(-3.0e38f), 2 * H);
}

TEST_F(LevelMeterTest, BarsCoverTheirColumnsFromTheirLevelDown)
{
    M().SetMindB(-40);
    M().SetLeftdB(-20);
    M().SetRightdB(-10);
    Setup.Show();
    M().Repaint();
    for (int x = LeftBarX[0]; x <= LeftBarX[1]; ++x)
        EXPECT_EQ(BarTop(x), 145) << x;
    for (int x = RightBarX[0]; x <= RightBarX[1]; ++x)
        EXPECT_EQ(BarTop(x), 73) << x;
    EXPECT_EQ(At(LeftBarX[0], 144), Background);
    EXPECT_EQ(At(LeftBarX[0], 146), Bar);
    EXPECT_EQ(At(RightBarX[1], H - 2), Bar);
    for (int x : {1, 2, 18, 19, 20, 21, 37, 38, 39})
        for (int y = 1; y < H - 1; ++y) {
            const bool scaleRow = y == 73 || y == 145 || y == 216;
            ASSERT_EQ(At(x, y), scaleRow ? clSilver : Background) << x << "," << y;
        }
    ExpectFrameIntact();
}

TEST_F(LevelMeterTest, LevelAboveMaxShowsAFullBarAndTheFrameStays)
{
    M().SetMindB(-40);
    M().SetLeftdB(3);
    Setup.Show();
    M().Repaint();
    for (int x = LeftBarX[0]; x <= LeftBarX[1]; ++x) {
        EXPECT_EQ(At(x, 1), Bar) << x;
        EXPECT_EQ(At(x, H - 2), Bar) << x;
        EXPECT_EQ(BarTop(x), 1);
    }
    EXPECT_EQ(At(2, 1), Background);
    EXPECT_EQ(At(18, 1), Background);
    EXPECT_EQ(BarTop(RightBarX[0]), H - 1) << "the right level lies below the floor";
    ExpectFrameIntact();
}

TEST_F(LevelMeterTest, LevelBelowMinShowsNoBar)
{
    M().SetMindB(-40);
    M().SetLeftdB(-45);
    M().SetRightdB(-40); // exactly the floor: row 288, the bottom frame row
    Setup.Show();
    M().Repaint();
    for (int x = LeftBarX[0]; x <= RightBarX[1]; ++x)
        EXPECT_EQ(BarTop(x), H - 1) << x;
    EXPECT_EQ(At(10, H - 2), Background);
    ExpectFrameIntact();
}

TEST_F(LevelMeterTest, ScaleLinesLieStrictlyBetweenMinAndMax)
{
    M().SetMindB(-40);
    Setup.Show();
    M().Repaint();
    EXPECT_EQ(SilverRows(), (std::set<int>{73, 145, 216}));
    for (int x = 1; x < W - 1; ++x)
        ASSERT_EQ(At(x, 145), clSilver) << x;

    M().SetMindB(-45); // not a multiple: the lines start one step later
    M().Repaint();
    EXPECT_EQ(SilverRows(), (std::set<int>{M().dBToY(-30), M().dBToY(-20), M().dBToY(-10)}));
    EXPECT_EQ(SilverRows(), (std::set<int>{192, 129, 65}));

    M().SetMindB(-60);
    M().Repaint();
    EXPECT_EQ(SilverRows(), (std::set<int>{49, 97, 145, 192, 240}));
}

TEST_F(LevelMeterTest, ShownLevelFallsAtTheDecayRate)
{
    M().SetMindB(-40);
    Setup.Show();
    M().SetLeftdB(-10);
    PaintAfter(DelayMs);
    ASSERT_EQ(M().ShownLeftdB(), -10.0f);
    M().SetLeftdB(-60);
    M().SetRightdB(-60);
    float expected = -10.0f;
    for (int step = 1; step <= 12; ++step) {
        PaintAfter(DelayMs);
        expected -= 2.5f;
        ASSERT_EQ(M().ShownLeftdB(), expected) << "step " << step;
        EXPECT_EQ(M().LastTick(), Clock.Now());
        EXPECT_TRUE(M().DelayTimerEnabled()) << "still at or above the floor at step " << step;
        EXPECT_EQ(BarTop(10), M().dBToY(expected)) << step;
    }
    EXPECT_EQ(M().ShownLeftdB(), -40.0f);
    EXPECT_EQ(BarTop(10), H - 1) << "at the floor no bar shows";
    PaintAfter(DelayMs);
    EXPECT_EQ(M().ShownLeftdB(), -42.5f);
    EXPECT_FALSE(M().DelayTimerEnabled()) << "both below the floor";
    PaintAfter(DelayMs);
    EXPECT_FALSE(M().DelayTimerEnabled());
}

TEST_F(LevelMeterTest, DecayAtTheFirstStepsShowsOnScreen)
{
    M().SetMindB(-40);
    Setup.Show();
    M().SetLeftdB(-10);
    PaintAfter(0);
    M().SetLeftdB(-60);
    PaintAfter(DelayMs);
    EXPECT_EQ(M().ShownLeftdB(), -12.5f);
    EXPECT_EQ(BarTop(10), 91) << "12.5 x 287 / 40 = 89.69";
    PaintAfter(DelayMs);
    EXPECT_EQ(M().ShownLeftdB(), -15.0f);
    PaintAfter(DelayMs);
    EXPECT_EQ(M().ShownLeftdB(), -17.5f);
}

TEST_F(LevelMeterTest, AHigherLevelShowsAtOnce)
{
    M().SetMindB(-40);
    Setup.Show();
    M().SetLeftdB(-30);
    PaintAfter(DelayMs);
    EXPECT_EQ(M().ShownLeftdB(), -30.0f);
    M().SetLeftdB(-5);
    PaintAfter(10);
    EXPECT_EQ(M().ShownLeftdB(), -5.0f);
    EXPECT_EQ(BarTop(10), M().dBToY(-5.0f));
}

TEST_F(LevelMeterTest, DelayTimerRunsWhileAShownLevelIsAtOrAboveTheFloor)
{
    M().SetMindB(-40);
    Setup.Show();
    M().SetLeftdB(-40); // exactly the floor
    M().SetRightdB(-70);
    PaintAfter(0);
    EXPECT_EQ(M().ShownLeftdB(), -40.0f);
    EXPECT_TRUE(M().DelayTimerEnabled()) << "a level exactly at the floor keeps it running";
    PaintAfter(DelayMs);
    EXPECT_EQ(M().ShownLeftdB(), -40.0f) << "settles at the written floor";
    EXPECT_TRUE(M().DelayTimerEnabled());

    M().SetLeftdB(-70);
    M().SetShown(-70, -40);
    PaintAfter(0);
    EXPECT_TRUE(M().DelayTimerEnabled()) << "the right one alone is enough";

    M().SetShown(-40.5f, -41);
    PaintAfter(0);
    EXPECT_FALSE(M().DelayTimerEnabled()) << "both below";

    M().SetShown(-20, -70);
    PaintAfter(0);
    ASSERT_TRUE(M().DelayTimerEnabled());
    M().DelayTimerTimer(nullptr);
    EXPECT_FALSE(M().DelayTimerEnabled()) << "the tick disables it";
    const int paints = M().Paints;
    Application.ProcessMessages();
    EXPECT_GT(M().Paints, paints) << "and asks for a paint";
}

TEST_F(LevelMeterTest, DecayRateZeroNeverFallsAndKeepsTheTimer)
{
    M().SetMindB(-40);
    M().SetDecayRate(0);
    Setup.Show();
    M().SetLeftdB(-20);
    PaintAfter(0);
    M().SetLeftdB(-60);
    for (int i = 0; i < 5; ++i) {
        PaintAfter(DelayMs);
        EXPECT_EQ(M().ShownLeftdB(), -20.0f);
        EXPECT_TRUE(M().DelayTimerEnabled());
    }
}

TEST_F(LevelMeterTest, PaintDuringAnUpdateLeavesLevelsTickAndTimerAlone)
{
    M().SetMindB(-40);
    Setup.Show();
    M().SetLeftdB(-10);
    M().SetRightdB(-20);
    PaintAfter(0);
    ASSERT_TRUE(M().DelayTimerEnabled());
    const uint32_t tick = M().LastTick();

    M().BeginUpdate();
    EXPECT_EQ(M().UpdateCount(), 1);
    M().SetLeftdB(-3);
    PaintAfter(DelayMs);
    EXPECT_EQ(M().ShownLeftdB(), -10.0f);
    EXPECT_EQ(M().ShownRightdB(), -20.0f);
    EXPECT_EQ(M().LastTick(), tick);
    EXPECT_TRUE(M().DelayTimerEnabled()) << "left running";
    for (int y = 1; y < H - 1; ++y)
        for (int x = 1; x < W - 1; ++x)
            ASSERT_EQ(At(x, y), Background) << "background only: " << x << "," << y;
    ExpectFrameIntact();
    M().EndUpdate();
    EXPECT_EQ(M().UpdateCount(), 0);

    M().SetShown(-70, -70);
    M().SetLeftdB(-70);
    M().SetRightdB(-70);
    PaintAfter(0);
    ASSERT_FALSE(M().DelayTimerEnabled());
    M().BeginUpdate();
    M().SetShown(-10, -10);
    PaintAfter(DelayMs);
    EXPECT_FALSE(M().DelayTimerEnabled()) << "left stopped";
    M().EndUpdate();
    PaintAfter(0);
    EXPECT_EQ(M().ShownLeftdB(), -12.5f) << "the whole elapsed time applies after the update";
}

TEST_F(LevelMeterTest, FirstPaintOfTheMainWindowMeterRaisesToTheWrittenLevels)
{
    // As the form loads it: MindB -40, both levels -50; the shown levels stay -60.
    M().SetMindB(-40);
    M().SetLeftdB(-50);
    M().SetRightdB(-50);
    ASSERT_EQ(M().ShownLeftdB(), -60.0f);
    ASSERT_EQ(M().Paints, 0);
    Setup.Show();
    ASSERT_GE(M().Paints, 1);
    EXPECT_EQ(M().ShownLeftdB(), -50.0f);
    EXPECT_EQ(M().ShownRightdB(), -50.0f);
    EXPECT_FALSE(M().DelayTimerEnabled());
    for (int x = LeftBarX[0]; x <= RightBarX[1]; ++x)
        EXPECT_EQ(BarTop(x), H - 1) << "row 360 lies below the inner area";
    EXPECT_EQ(SilverRows(), (std::set<int>{73, 145, 216}));
    ExpectFrameIntact();
}

TEST_F(LevelMeterTest, ChangingTheScaleRepaintsButLeavesShownLevels)
{
    M().SetMindB(-40);
    M().SetLeftdB(-20);
    Setup.Show();
    M().Repaint();
    const float shown = M().ShownLeftdB();
    const int paints = M().Paints;
    M().SetMindB(-60);
    EXPECT_EQ(M().ShownLeftdB(), shown);
    Application.ProcessMessages();
    EXPECT_GT(M().Paints, paints);
    EXPECT_EQ(SilverRows(), (std::set<int>{49, 97, 145, 192, 240}));
    EXPECT_EQ(BarTop(10), 97);
    M().SetBarColour(clRed);
    M().Update();
    EXPECT_EQ(At(10, 200), clRed);
    M().SetMaxdB(10);
    M().SetIntervaldB(20);
    M().Update();
    EXPECT_EQ(SilverRows(), (std::set<int>{M().dBToY(-40), M().dBToY(-20), M().dBToY(0)}));
}

TEST_F(LevelMeterTest, TickCounterWrapAroundAndLongPausesDecayDownwards)
{
    M().SetMindB(-40);
    Setup.Show();
    M().SetLeftdB(-10);
    PaintAfter(0);
    M().SetLeftdB(-60);
    // The counter wraps between two paints: still 500 ms.
    PaintAfter(0xFFFFFFFFu - Clock.Now() - 99);
    M().SetShown(-10, -60);
    PaintAfter(500);
    ASSERT_LT(M().LastTick(), 500u) << "the counter wrapped";
    EXPECT_EQ(M().ShownLeftdB(), -20.0f);
    // Unpainted for about 55 hours: the step exceeds 32 bits but still falls.
    PaintAfter(200000000);
    EXPECT_LT(M().ShownLeftdB(), -40.0f);
    EXPECT_EQ(BarTop(10), H - 1);
}

} // namespace
