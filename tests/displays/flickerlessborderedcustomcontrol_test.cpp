#include "displays/flickerlessborderedcustomcontrol.h"
#include "paintcounted.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "support/controlonform.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int MeterWidth = 41;
constexpr int MeterHeight = 289;
constexpr TColor DefaultBackground = 0x404040;
constexpr TColor ContentColour = clRed;

// Exposes the inner geometry and the off-screen bitmap, counts paints and
// optionally draws far beyond the inner area.
class TProbeControl : public TPaintCounted<TFlickerlessBorderedCustomControl> {
public:
    using TPaintCounted::TPaintCounted;

    int InnerWidth() const { return FInnerWidth; }
    int InnerHeight() const { return FInnerHeight; }
    TRect InnerRect() const { return FInnerRect; }
    const TBitmap& OffscreenBitmap() const { return *FBitmap; }
    bool Overflow = false;

protected:
    void DrawContent(TCanvas& ACanvas) override
    {
        if (!Overflow)
            return;
        ACanvas.Brush().Color = ContentColour;
        ACanvas.FillRect(Rect(-10, -10, Width() + 10, Height() + 10));
    }
};

// A control that lets the platform erase its background, for comparison.
class TErasingControl : public TCustomControl {
public:
    using TCustomControl::TCustomControl;

protected:
    void Paint() override
    {
        Canvas().Brush().Color = ContentColour;
        Canvas().FillRect(ClientRect());
    }
};

class FlickerlessBorderedControlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Control = MakeOnForm<TProbeControl>(Form, 200, 400);
        Control->SetBounds(48, 16, MeterWidth, MeterHeight);
        ShowAndHandle(*Form);
    }
    void TearDown() override { Form.reset(); }

    std::vector<TColor> ShownPixels() const
    {
        std::vector<TColor> pixels;
        for (int y = 0; y < Control->Height(); ++y)
            for (int x = 0; x < Control->Width(); ++x)
                pixels.push_back(Control->SurfacePixel(x, y));
        return pixels;
    }

    // Checks the one-pixel sunken frame all round.
    void ExpectFrame() const
    {
        const int w = Control->Width();
        const int h = Control->Height();
        for (int x = 0; x < w - 1; ++x)
            ASSERT_EQ(Control->SurfacePixel(x, 0), clBlack) << "top row x " << x;
        for (int y = 0; y < h - 1; ++y)
            ASSERT_EQ(Control->SurfacePixel(0, y), clBlack) << "left column y " << y;
        for (int x = 0; x < w; ++x)
            ASSERT_EQ(Control->SurfacePixel(x, h - 1), clWhite) << "bottom row x " << x;
        for (int y = 0; y < h; ++y)
            ASSERT_EQ(Control->SurfacePixel(w - 1, y), clWhite) << "right column y " << y;
    }

    std::unique_ptr<TForm> Form;
    TProbeControl* Control = nullptr;
};

TEST(FlickerlessBorderedControlGeometry, InnerFieldsFollowSetBoundsAtOnce)
{
    TProbeControl control(nullptr);
    EXPECT_EQ(control.InnerWidth(), 0) << "zero until the first bounds";
    EXPECT_EQ(control.InnerHeight(), 0);
    EXPECT_EQ(control.BackgroundColour(), DefaultBackground);
    EXPECT_TRUE(control.ControlStyle() & csOpaque);
    control.SetBounds(48, 16, MeterWidth, MeterHeight);
    EXPECT_EQ(control.InnerWidth(), 39);
    EXPECT_EQ(control.InnerHeight(), 287);
    EXPECT_EQ(control.InnerRect(), Rect(1, 1, 40, 288));
    control.SetHeight(100);
    EXPECT_EQ(control.InnerHeight(), 98);
    EXPECT_EQ(control.InnerRect(), Rect(1, 1, 40, 99));
}

TEST_F(FlickerlessBorderedControlTest, PaintShowsBackgroundInsideASunkenFrame)
{
    Control->Repaint();
    ExpectFrame();
    EXPECT_EQ(Control->SurfacePixel(0, 0), clBlack);
    EXPECT_EQ(Control->SurfacePixel(MeterWidth - 1, 0), clWhite);
    EXPECT_EQ(Control->SurfacePixel(0, MeterHeight - 1), clWhite);
    EXPECT_EQ(Control->SurfacePixel(MeterWidth - 1, MeterHeight - 1), clWhite);
    for (int y = 1; y < MeterHeight - 1; ++y)
        for (int x = 1; x < MeterWidth - 1; ++x)
            ASSERT_EQ(Control->SurfacePixel(x, y), DefaultBackground) << x << "," << y;
}

TEST_F(FlickerlessBorderedControlTest, ContentThatOverflowsNeverTouchesTheFrame)
{
    Control->Overflow = true;
    Control->Repaint();
    ExpectFrame();
    EXPECT_EQ(Control->SurfacePixel(1, 1), ContentColour);
    EXPECT_EQ(Control->SurfacePixel(MeterWidth - 2, MeterHeight - 2), ContentColour);
}

TEST_F(FlickerlessBorderedControlTest, BackgroundEraseRequestChangesNothing)
{
    Control->Overflow = true;
    Control->Repaint();
    const std::vector<TColor> before = ShownPixels();
    EXPECT_EQ(Control->Perform(WM_ERASEBKGND, 0, 0), 1) << "answered as done";
    EXPECT_EQ(ShownPixels(), before);

    // The same request to an ordinary control does clear it, so the check above can fail.
    auto* erasing = new TErasingControl(Form.get());
    erasing->SetParent(Form.get());
    erasing->SetBounds(120, 16, 10, 10);
    erasing->Repaint();
    ASSERT_EQ(erasing->SurfacePixel(5, 5), ContentColour);
    erasing->Perform(WM_ERASEBKGND, 0, 0);
    EXPECT_NE(erasing->SurfacePixel(5, 5), ContentColour);
}

TEST_F(FlickerlessBorderedControlTest, NewBackgroundColourIsPaintedAndTheSameOneRepaints)
{
    Control->SetBackgroundColour(clNavy);
    Control->Update();
    EXPECT_EQ(Control->SurfacePixel(1, 1), clNavy);
    EXPECT_EQ(Control->SurfacePixel(20, 150), clNavy);
    Application.ProcessMessages();
    const int paints = Control->Paints;
    Control->SetBackgroundColour(clNavy);
    Application.ProcessMessages();
    EXPECT_GT(Control->Paints, paints) << "the same colour still repaints";
}

TEST_F(FlickerlessBorderedControlTest, BitmapFollowsTheSizeAtTheNextPaintAndOnlyThen)
{
    Control->Repaint();
    const int allocations = Control->OffscreenBitmap().Allocations();
    Control->Repaint();
    Control->Repaint();
    EXPECT_EQ(Control->OffscreenBitmap().Allocations(), allocations) << "an ordinary paint allocates nothing";
    Control->SetBounds(48, 16, 30, 100);
    EXPECT_EQ(Control->OffscreenBitmap().Width(), MeterWidth) << "resized by the next paint";
    Control->Repaint();
    EXPECT_EQ(Control->OffscreenBitmap().Width(), 30);
    EXPECT_EQ(Control->OffscreenBitmap().Height(), 100);
    ExpectFrame();
}

TEST_F(FlickerlessBorderedControlTest, HiddenControlDrawsNothing)
{
    Control->Repaint();
    const int allocations = Control->OffscreenBitmap().Allocations();
    Control->Hide();
    Control->SetBounds(48, 16, 30, 100);
    Control->PaintHandler();
    EXPECT_EQ(Control->OffscreenBitmap().Allocations(), allocations) << "the guard stops the paint";
}

} // namespace
