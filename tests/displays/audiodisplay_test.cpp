// TAudioDisplay: its settings, its working buffers sized by SetBounds, the
// hook that takes blocks, and its picture on a shown form.

#include "audio/wavein.h"
#include "displays/audiodisplay.h"
#include "paintcounted.h"
#include "platform/forms/application.h"
#include "platform/forms/form.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>

namespace {

constexpr TColor DefaultBackground = 0x404040;
constexpr TColor PaleYellow = 0xC0FFFF;

class TProbeDisplay : public TPaintCounted<TAudioDisplay> {
public:
    using TPaintCounted::TPaintCounted;
    bool Mode() const { return FMode; }
    int32_t UpperValue() const { return FUpperValue; }
    int32_t LowerValue() const { return FLowerValue; }
    int32_t Position() const { return FPosition; }
    void SetPosition(int32_t Value) { FPosition = Value; }
    int32_t BlockCount() const { return FBlockCount; }
    void SetBlockCount(int32_t Value) { FBlockCount = Value; }
    TColor ForegroundColour() const { return FForegroundColour; }
    int InnerWidth() const { return FInnerWidth; }

    // The addresses of all nine buffers, the 8-byte ones first.
    std::array<const void*, 9> Buffers() const
    {
        std::array<const void*, 9> all{};
        for (size_t i = 0; i < ColumnBuffer8Count; ++i)
            all[i] = FColumnBuffers8[i].get();
        for (size_t i = 0; i < ColumnBuffer4Count; ++i)
            all[ColumnBuffer8Count + i] = FColumnBuffers4[i].get();
        return all;
    }
    bool NoBuffers() const
    {
        for (const void* buffer : Buffers())
            if (buffer)
                return false;
        return true;
    }
    bool AllBuffers() const
    {
        for (const void* buffer : Buffers())
            if (!buffer)
                return false;
        return true;
    }
};

} // namespace

TEST(AudioDisplay, StartsWithItsDefaultsAndNoBuffers)
{
    TProbeDisplay display(nullptr);
    EXPECT_EQ(display.Source(), nullptr);
    EXPECT_EQ(display.ForegroundColour(), PaleYellow);
    EXPECT_EQ(display.UpperValue(), 0);
    EXPECT_EQ(display.LowerValue(), -80);
    EXPECT_TRUE(display.Mode());
    EXPECT_EQ(display.BlockCount(), 0);
    EXPECT_EQ(display.Position(), 0);
    EXPECT_EQ(display.BackgroundColour(), DefaultBackground);
    EXPECT_TRUE(display.NoBuffers());
    EXPECT_EQ(display.ColumnBuffer8Bytes(), 0u);
    EXPECT_EQ(display.ColumnBuffer4Bytes(), 0u);
}

TEST(AudioDisplay, BuffersFollowTheInnerWidth)
{
    TProbeDisplay display(nullptr);
    display.SetBounds(0, 0, 41, 100);
    EXPECT_EQ(display.InnerWidth(), 39);
    EXPECT_TRUE(display.AllBuffers());
    EXPECT_EQ(display.ColumnBuffer8Bytes(), 312u);
    EXPECT_EQ(display.ColumnBuffer4Bytes(), 156u);
    const auto first = display.Buffers();

    // Another height, the same width: the same buffers, the position kept.
    display.SetPosition(17);
    display.SetBlockCount(6);
    display.SetBounds(5, 6, 41, 250);
    EXPECT_EQ(display.Buffers(), first);
    EXPECT_EQ(display.Position(), 17);

    // A new width: nine new buffers of 99 columns, the position back to 0, the count kept.
    display.SetBounds(5, 6, 101, 250);
    EXPECT_TRUE(display.AllBuffers());
    EXPECT_EQ(display.ColumnBuffer8Bytes(), 792u);
    EXPECT_EQ(display.ColumnBuffer4Bytes(), 396u);
    EXPECT_EQ(display.Position(), 0);
    EXPECT_EQ(display.BlockCount(), 6);
    const auto second = display.Buffers();

    // Too narrow for a column: the 99-column buffers stay.
    display.SetPosition(3);
    display.SetBounds(5, 6, 2, 250);
    EXPECT_EQ(display.InnerWidth(), 0);
    EXPECT_EQ(display.Buffers(), second);
    EXPECT_EQ(display.ColumnBuffer8Bytes(), 792u);
    EXPECT_EQ(display.Position(), 3);

    // Back to 41 from 2: a width change again.
    display.SetBounds(5, 6, 41, 250);
    EXPECT_EQ(display.ColumnBuffer8Bytes(), 312u);
    EXPECT_EQ(display.Position(), 0);
}

TEST(AudioDisplay, WidthTwoAfterFortyOneKeepsTheThirtyNineColumnBuffers)
{
    TProbeDisplay display(nullptr);
    display.SetBounds(0, 0, 41, 100);
    const auto buffers = display.Buffers();
    display.SetBounds(0, 0, 2, 100);
    EXPECT_EQ(display.Buffers(), buffers);
    EXPECT_EQ(display.ColumnBuffer4Bytes(), 156u);
}

TEST(AudioDisplay, ANarrowFirstSizeMakesNoBuffers)
{
    TProbeDisplay display(nullptr);
    display.SetBounds(0, 0, 2, 100);
    EXPECT_TRUE(display.NoBuffers());
    display.SetBounds(0, 0, 3, 100);
    EXPECT_TRUE(display.AllBuffers());
    EXPECT_EQ(display.ColumnBuffer8Bytes(), 8u);
    EXPECT_EQ(display.ColumnBuffer4Bytes(), 4u);
}

TEST(AudioDisplay, ANewModeClearsTheBlockCount)
{
    TProbeDisplay display(nullptr);
    display.SetBlockCount(4);
    display.SetMode(true);
    EXPECT_EQ(display.BlockCount(), 4);
    display.SetMode(false);
    EXPECT_FALSE(display.Mode());
    EXPECT_EQ(display.BlockCount(), 0);
    display.SetBlockCount(2);
    display.SetMode(false);
    EXPECT_EQ(display.BlockCount(), 2);
    display.SetMode(true);
    EXPECT_EQ(display.BlockCount(), 0);
}

TEST(AudioDisplay, ANewSourceClearsCountAndPosition)
{
    TProbeDisplay display(nullptr);
    TWaveIn source(nullptr);
    display.SetBlockCount(4);
    display.SetPosition(9);
    display.SetSource(&source);
    EXPECT_EQ(display.Source(), &source);
    EXPECT_EQ(display.BlockCount(), 0);
    EXPECT_EQ(display.Position(), 0);
    display.SetPosition(9);
    display.SetSource(nullptr);
    EXPECT_EQ(display.Source(), nullptr);
    EXPECT_EQ(display.Position(), 0);
}

TEST(AudioDisplay, LimitsAreStoredOnly)
{
    TProbeDisplay display(nullptr);
    display.SetBlockCount(3);
    display.SetPosition(5);
    display.SetUpperValue(12);
    display.SetLowerValue(-100);
    EXPECT_EQ(display.UpperValue(), 12);
    EXPECT_EQ(display.LowerValue(), -100);
    EXPECT_EQ(display.BlockCount(), 3);
    EXPECT_EQ(display.Position(), 5);
}

TEST(AudioDisplay, TheBaseDisplayKeepsTheInputRunning)
{
    TProbeDisplay display(nullptr);
    std::array<int16_t, 8> samples{1, 2, 3, 4, 5, 6, 7, 8};
    bool keepGoing = true;
    display.ProcessBlock(samples.data(), 4, keepGoing);
    EXPECT_TRUE(keepGoing);
    EXPECT_EQ(samples, (std::array<int16_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(AudioDisplay, APaintedDisplayShowsOnlyItsBackgroundInsideTheFrame)
{
    constexpr int W = 41, H = 60;
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 200);
    auto* display = new TProbeDisplay(&form);
    display->SetParent(&form);
    display->SetBounds(10, 10, W, H);
    display->SetBackgroundColour(clNavy);
    form.Show();
    Application.ProcessMessages();
    display->Repaint();
    ASSERT_GT(display->Paints, 0);
    for (int y = 1; y < H - 1; ++y)
        for (int x = 1; x < W - 1; ++x)
            ASSERT_EQ(display->SurfacePixel(x, y), clNavy) << x << "," << y;
    EXPECT_EQ(display->SurfacePixel(0, 0), clBlack);
    EXPECT_EQ(display->SurfacePixel(W - 1, H - 1), clWhite);
}
