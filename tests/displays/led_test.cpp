#include "displays/led.h"
#include "lamppicture.h"
#include "paintcounted.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "support/controlonform.h"
#include "support/embeddedresources.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int LedLeft = 128;
constexpr int LedTop = 276;
constexpr int LedSize = 17;
constexpr TColor FormBackground = clBtnFace;

using TCountingLED = TPaintCounted<TLED>;

// Whether control pixel (X, Y) lies in the circle inscribed in the 18-pixel
// square at the control's corner (its centre inside the circle).
bool InsideCircle(int X, int Y)
{
    const double dx = X + 0.5 - 9.0;
    const double dy = Y + 0.5 - 9.0;
    return dx * dx + dy * dy <= 81.0;
}

// What control pixel (X, Y) must show with the body in Body.
TColor Expected(int X, int Y, TColor Body)
{
    const int px = X - 1;
    const int py = Y - 1;
    const bool onPicture = px >= 0 && py >= 0 && px < LampPictureSize && py < LampPictureSize;
    if (!onPicture || !InsideCircle(X, Y))
        return FormBackground;
    const char pixel = LampPictureRows[py][px];
    return pixel == 'G' ? Body : LampPixelColour(pixel);
}

class LedTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Led = MakeOnForm<TCountingLED>(Form, 200, 320);
        Led->SetLeft(LedLeft);
        Led->SetTop(LedTop);
    }
    void TearDown() override { Form.reset(); }
    void ShowAndSettle()
    {
        Form->Show();
        for (int i = 0; i < 3; ++i)
            Application.ProcessMessages();
        Form->Repaint();
    }
    TColor At(int X, int Y) const { return Form->SurfacePixel(LedLeft + X, LedTop + Y); }
    void ExpectPicture(TColor Body)
    {
        for (int y = 0; y < LedSize; ++y)
            for (int x = 0; x < LedSize; ++x)
                ASSERT_EQ(At(x, y), Expected(x, y, Body)) << x << "," << y;
    }

    std::unique_ptr<TForm> Form;
    TCountingLED* Led = nullptr;
};

TEST_F(LedTest, FreshLedIs17SquareAndLime)
{
    EXPECT_EQ(Led->Width(), LedSize);
    EXPECT_EQ(Led->Height(), LedSize);
    EXPECT_EQ(Led->Colour(), clLime);
    ShowAndSettle();
    ExpectPicture(clLime);
}

TEST_F(LedTest, BodyTakesColourWhileRimAndHighlightStay)
{
    Led->SetColour(clGreen);
    ShowAndSettle();
    ExpectPicture(clGreen);
    EXPECT_EQ(At(8, 8), clGreen) << "the centre";
    EXPECT_EQ(At(5, 5), clWhite) << "the highlight";
    EXPECT_EQ(At(4, 7), clSilver) << "a speck inside the body";
    EXPECT_EQ(At(6, 1), clMaroon) << "the rim";
    EXPECT_EQ(At(1, 1), FormBackground) << "a corner shows the parent, not silver";
    EXPECT_EQ(At(LedSize - 2, LedSize - 2), FormBackground);
    EXPECT_EQ(At(0, 8), FormBackground);

    Led->SetColour(clRed);
    Application.ProcessMessages();
    ExpectPicture(clRed);
}

TEST_F(LedTest, EqualColourCausesNoRepaint)
{
    Led->SetColour(clGreen);
    ShowAndSettle();
    Application.ProcessMessages();
    const int paints = Led->Paints;
    Led->SetColour(clGreen);
    Application.ProcessMessages();
    Application.ProcessMessages();
    EXPECT_EQ(Led->Paints, paints);
    Led->SetColour(clLime);
    Application.ProcessMessages();
    EXPECT_GT(Led->Paints, paints) << "a new colour does repaint";
    EXPECT_EQ(At(8, 8), clLime);
}

TEST(LedWithoutPicture, MissingResourceDrawsNothingAndRaisesNothing)
{
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 200, 320);
    WithdrawEmbeddedResources();
    TLED* led = nullptr;
    EXPECT_NO_THROW(led = new TLED(form.get()));
    RestoreEmbeddedResources();
    ASSERT_NE(led, nullptr);
    led->SetParent(form.get());
    led->SetBounds(LedLeft, LedTop, LedSize, LedSize);
    led->SetColour(clRed);
    form->Show();
    Application.ProcessMessages();
    EXPECT_NO_THROW(form->Repaint());
    for (int y = 0; y < LedSize; ++y)
        for (int x = 0; x < LedSize; ++x)
            ASSERT_EQ(form->SurfacePixel(LedLeft + x, LedTop + y), FormBackground) << x << "," << y;

    // The resources are back: a new LED shows its lamp again.
    auto* lit = new TLED(form.get());
    lit->SetParent(form.get());
    lit->SetBounds(10, 10, LedSize, LedSize);
    form->Repaint();
    EXPECT_EQ(form->SurfacePixel(10 + 8, 10 + 8), clLime);
}

} // namespace
