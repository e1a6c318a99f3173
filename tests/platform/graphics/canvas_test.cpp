#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

constexpr TColor kBack = clWhite;

class CanvasTest : public ::testing::Test {
protected:
    void SetUp() override { Bitmap.SetSize(20, 20); }
    int CountColour(TColor Colour) const
    {
        int n = 0;
        for (int y = 0; y < Bitmap.Height(); ++y)
            for (int x = 0; x < Bitmap.Width(); ++x)
                n += Bitmap.Pixel(x, y) == Colour;
        return n;
    }
    TBitmap Bitmap;
    TCanvas& C() { return Bitmap.Canvas(); }
};

TEST_F(CanvasTest, FillRectLeavesOutRightColumnAndBottomRow)
{
    C().Brush().Color = clRed;
    C().FillRect(Rect(2, 3, 5, 7));
    EXPECT_EQ(CountColour(clRed), 3 * 4);
    EXPECT_EQ(Bitmap.Pixel(2, 3), clRed);
    EXPECT_EQ(Bitmap.Pixel(4, 6), clRed);
    EXPECT_EQ(Bitmap.Pixel(5, 6), kBack);
    EXPECT_EQ(Bitmap.Pixel(4, 7), kBack);
}

TEST_F(CanvasTest, EmptyOrInvertedRectangleFillsNothing)
{
    C().Brush().Color = clRed;
    C().FillRect(Rect(5, 5, 5, 9));
    C().FillRect(Rect(8, 8, 4, 4));
    C().FillRect(Rect(3, 360, 17, 19));
    EXPECT_EQ(CountColour(clRed), 0);
}

TEST_F(CanvasTest, FillRectIsCutAtTheBitmapEdge)
{
    C().Brush().Color = clRed;
    C().FillRect(Rect(3, -21, 8, 19));
    EXPECT_EQ(CountColour(clRed), 5 * 19);
}

TEST_F(CanvasTest, LineCoversStartButNotEndAndMovesThePen)
{
    C().Pen().Color = clBlack;
    C().MoveTo(19, 0);
    C().LineTo(0, 0);
    EXPECT_EQ(Bitmap.Pixel(19, 0), clBlack);
    EXPECT_EQ(Bitmap.Pixel(1, 0), clBlack);
    EXPECT_EQ(Bitmap.Pixel(0, 0), kBack);
    EXPECT_EQ(C().PenPos().X, 0);
    C().LineTo(0, 20);
    EXPECT_EQ(Bitmap.Pixel(0, 0), clBlack) << "the next line starts where the last ended";
    EXPECT_EQ(Bitmap.Pixel(0, 19), clBlack);
    EXPECT_EQ(CountColour(clBlack), 19 + 20);
}

TEST_F(CanvasTest, SunkenFrameCornersFollowTheLineRule)
{
    const int w = 20;
    const int h = 20;
    C().Pen().Color = clBlack;
    C().MoveTo(w - 1, 0);
    C().LineTo(0, 0);
    C().LineTo(0, h);
    C().Pen().Color = clWhite;
    C().Brush().Color = clGray;
    C().FillRect(Rect(0, 0, w, h)); // start grey so white is visible
    C().Pen().Color = clBlack;
    C().MoveTo(w - 1, 0);
    C().LineTo(0, 0);
    C().LineTo(0, h);
    C().Pen().Color = clWhite;
    C().MoveTo(0, h - 1);
    C().LineTo(w - 1, h - 1);
    C().LineTo(w - 1, -1);
    EXPECT_EQ(Bitmap.Pixel(0, 0), clBlack);
    EXPECT_EQ(Bitmap.Pixel(w - 1, 0), clWhite);
    EXPECT_EQ(Bitmap.Pixel(0, h - 1), clWhite);
    EXPECT_EQ(Bitmap.Pixel(w - 1, h - 1), clWhite);
    EXPECT_EQ(Bitmap.Pixel(w - 2, 0), clBlack);
    EXPECT_EQ(Bitmap.Pixel(0, h - 2), clBlack);
}

TEST_F(CanvasTest, DiagonalLineStopsBeforeItsEnd)
{
    C().Pen().Color = clBlue;
    C().MoveTo(0, 0);
    C().LineTo(5, 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(Bitmap.Pixel(i, i), clBlue);
    EXPECT_EQ(Bitmap.Pixel(5, 5), kBack);
}

TEST_F(CanvasTest, SurfaceFloodFillStopsAtOtherColours)
{
    // A closed black square: the inside fills, the outside does not.
    C().Pen().Color = clBlack;
    C().MoveTo(4, 4);
    C().LineTo(12, 4);
    C().LineTo(12, 12);
    C().LineTo(4, 12);
    C().LineTo(4, 4);
    C().Brush().Color = clLime;
    C().FloodFill(8, 8, kBack, TFillStyle::fsSurface);
    EXPECT_EQ(CountColour(clLime), 7 * 7);
    EXPECT_EQ(Bitmap.Pixel(2, 2), kBack);
    EXPECT_EQ(Bitmap.Pixel(4, 4), clBlack);
}

TEST_F(CanvasTest, FloodFillStaysInsideTheClipRegion)
{
    const TRegion circle = CreateEllipticRgn(0, 0, 18, 18);
    C().SelectClipRgn(&circle);
    C().Brush().Color = clGreen;
    C().FloodFill(9, 9, kBack, TFillStyle::fsSurface);
    C().SelectClipRgn(nullptr);
    EXPECT_EQ(Bitmap.Pixel(9, 9), clGreen);
    EXPECT_EQ(Bitmap.Pixel(1, 1), kBack) << "corner outside the circle";
    EXPECT_EQ(Bitmap.Pixel(18, 9), kBack) << "right edge excluded";
    EXPECT_EQ(Bitmap.Pixel(17, 9), clGreen);
    EXPECT_EQ(Bitmap.Pixel(19, 19), kBack);
}

TEST_F(CanvasTest, FloodFillStartingOutsideTheClipDoesNothing)
{
    const TRegion tiny = CreateEllipticRgn(0, 0, 3, 3);
    C().SelectClipRgn(&tiny);
    C().Brush().Color = clGreen;
    C().FloodFill(8, 8, kBack, TFillStyle::fsSurface);
    EXPECT_EQ(CountColour(clGreen), 0);
}

TEST_F(CanvasTest, PixelsAndDrawWithOrigin)
{
    TBitmap small;
    small.SetSize(2, 2);
    small.Canvas().SetPixel(0, 0, clRed);
    small.Canvas().SetPixel(1, 1, clBlue);
    C().Draw(3, 4, small);
    EXPECT_EQ(C().Pixel(3, 4), clRed);
    EXPECT_EQ(C().Pixel(4, 5), clBlue);
    EXPECT_EQ(C().Pixel(4, 4), clWhite);
}

TEST_F(CanvasTest, SameSizeKeepsThePictureAndAllocatesNothing)
{
    C().SetPixel(1, 1, clRed);
    const int allocations = Bitmap.Allocations();
    Bitmap.SetSize(20, 20);
    EXPECT_EQ(Bitmap.Allocations(), allocations);
    EXPECT_EQ(Bitmap.Pixel(1, 1), clRed);
    Bitmap.SetWidth(21);
    EXPECT_EQ(Bitmap.Allocations(), allocations + 1);
}

TEST_F(CanvasTest, CopyRectCopiesUnscaled)
{
    TBitmap target;
    target.SetSize(20, 20);
    C().SetPixel(5, 6, clMaroon);
    target.Canvas().CopyRect(Rect(0, 0, 20, 20), C(), Rect(0, 0, 20, 20));
    EXPECT_EQ(target.Pixel(5, 6), clMaroon);
}

// Drawing without a clip region takes whole rows at once; with a region every
// pixel is tested. A region holding every pixel of these small surfaces must
// give the same picture, so the per-pixel path is the oracle for the other.
const TRegion kEverywhere = CreateEllipticRgn(-10000, -10000, 10000, 10000);
constexpr int kSurfaceWidth = 16;
constexpr int kSurfaceHeight = 12;

std::vector<uint32_t> Pattern(uint32_t Seed)
{
    std::vector<uint32_t> pixels(kSurfaceWidth * kSurfaceHeight);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = (Seed + static_cast<uint32_t>(i) * 0x01030507u) | (i % 3 == 0 ? 0xFF000000u : 0u);
    return pixels;
}

struct TPlacement {
    int OriginX;
    int OriginY;
    TRect Clip; // surface coordinates
};

void BindTo(TCanvas& Canvas, std::vector<uint32_t>& Pixels, const TPlacement& Place)
{
    Canvas.Bind(TSurface{Pixels.data(), kSurfaceWidth, kSurfaceHeight}, Place.OriginX, Place.OriginY, Place.Clip);
}

struct TFillCase {
    const char* Name;
    TPlacement Place;
    TRect Area;
    int Filled; // pixels that take the brush colour
};

const TFillCase kFillCases[] = {
    {"inside", {0, 0, Rect(0, 0, 16, 12)}, Rect(2, 3, 9, 8), 7 * 5},
    {"cut by the clip", {0, 0, Rect(4, 2, 11, 9)}, Rect(1, 1, 14, 10), 7 * 7},
    {"with an origin", {3, 2, Rect(0, 0, 16, 12)}, Rect(-5, -4, 6, 5), 9 * 7},
    {"beyond the surface", {-2, 1, Rect(-5, -5, 30, 30)}, Rect(10, 8, 40, 40), 8 * 3},
    {"outside the clip", {0, 0, Rect(0, 0, 5, 5)}, Rect(8, 8, 12, 12), 0},
    {"inverted", {0, 0, Rect(0, 0, 16, 12)}, Rect(9, 3, 2, 8), 0},
};

TEST(CanvasFastPathTest, FillRectWithoutRegionMatchesThePerPixelRule)
{
    for (const TFillCase& c : kFillCases) {
        SCOPED_TRACE(c.Name);
        std::vector<uint32_t> plain = Pattern(0);
        std::vector<uint32_t> regioned = plain;
        TCanvas a;
        TCanvas b;
        BindTo(a, plain, c.Place);
        BindTo(b, regioned, c.Place);
        b.SelectClipRgn(&kEverywhere);
        a.Brush().Color = clRed;
        b.Brush().Color = clRed;
        a.FillRect(c.Area);
        b.FillRect(c.Area);
        EXPECT_EQ(plain, regioned);
        EXPECT_EQ(std::count(plain.begin(), plain.end(), ColorToPixel(clRed)), c.Filled);
    }
}

struct TCopyCase {
    const char* Name;
    TPlacement To;
    TPlacement From;
    TRect Dest;
    TRect Source;
};

const TCopyCase kCopyCases[] = {
    {"whole surface", {0, 0, Rect(0, 0, 16, 12)}, {0, 0, Rect(0, 0, 16, 12)}, Rect(0, 0, 16, 12), Rect(0, 0, 16, 12)},
    {"shifted block", {0, 0, Rect(0, 0, 16, 12)}, {0, 0, Rect(0, 0, 16, 12)}, Rect(5, 4, 12, 9), Rect(1, 2, 9, 9)},
    {"destination clip", {0, 0, Rect(3, 3, 8, 10)}, {0, 0, Rect(0, 0, 16, 12)}, Rect(0, 0, 16, 12), Rect(0, 0, 16, 12)},
    {"source clip", {0, 0, Rect(0, 0, 16, 12)}, {0, 0, Rect(6, 1, 13, 5)}, Rect(2, 2, 14, 11), Rect(0, 0, 12, 9)},
    {"both origins", {2, -3, Rect(0, 0, 16, 12)}, {-1, 4, Rect(1, 1, 15, 11)}, Rect(-4, 0, 10, 9), Rect(-2, -6, 9, 6)},
    {"off the surfaces", {0, 0, Rect(0, 0, 16, 12)}, {0, 0, Rect(0, 0, 16, 12)}, Rect(10, 8, 30, 30), Rect(-8, -6, 12, 16)},
    {"nothing in common", {0, 0, Rect(0, 0, 4, 4)}, {0, 0, Rect(10, 8, 16, 12)}, Rect(0, 0, 4, 4), Rect(0, 0, 4, 4)},
};

TEST(CanvasFastPathTest, CopyRectWithoutRegionMatchesThePerPixelRule)
{
    for (const TCopyCase& c : kCopyCases) {
        SCOPED_TRACE(c.Name);
        std::vector<uint32_t> source = Pattern(0x00102030);
        const std::vector<uint32_t> untouched = Pattern(0x00F0E0D0);
        std::vector<uint32_t> plain = untouched;
        std::vector<uint32_t> regioned = untouched;
        TCanvas from;
        TCanvas a;
        TCanvas b;
        BindTo(from, source, c.From);
        BindTo(a, plain, c.To);
        BindTo(b, regioned, c.To);
        b.SelectClipRgn(&kEverywhere);
        a.CopyRect(c.Dest, from, c.Source);
        b.CopyRect(c.Dest, from, c.Source);
        EXPECT_EQ(plain, regioned);
    }
}

TEST(CanvasFastPathTest, CopyWithinOneSurfaceMatchesThePerPixelRule)
{
    std::vector<uint32_t> plain = Pattern(0x00405060);
    std::vector<uint32_t> regioned = plain;
    const TPlacement whole{0, 0, Rect(0, 0, kSurfaceWidth, kSurfaceHeight)};
    TCanvas a;
    TCanvas b;
    BindTo(a, plain, whole);
    BindTo(b, regioned, whole);
    b.SelectClipRgn(&kEverywhere);
    // Overlapping, downwards and to the right: the order of copying shows.
    a.CopyRect(Rect(2, 1, 14, 11), a, Rect(0, 0, 12, 10));
    b.CopyRect(Rect(2, 1, 14, 11), b, Rect(0, 0, 12, 10));
    EXPECT_EQ(plain, regioned);
    EXPECT_EQ(plain[2 * kSurfaceWidth + 4], plain[0]);
}

TEST(CanvasTextTest, ClassicDialogFontMetrics)
{
    TBitmap b;
    b.SetSize(4, 4);
    const int h = b.Canvas().TextHeight("Cy");
    EXPECT_GE(h, 12);
    EXPECT_LE(h, 14);
    EXPECT_GT(b.Canvas().TextWidth("-00dB  "), b.Canvas().TextWidth("-00dB"));
}

} // namespace
