#include "platform/graphics/canvas.h"

#include "platform/graphics/bitmap.h"
#include "platform/graphics/textrenderer.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

void TCanvas::Bind(const TSurface& Surface, int OriginX, int OriginY, const TRect& Clip)
{
    FSurface = Surface;
    FOriginX = OriginX;
    FOriginY = OriginY;
    FClip = IntersectRect(Clip, Rect(0, 0, Surface.Width, Surface.Height));
    FRegion.reset();
}

bool TCanvas::Visible(int SurfaceX, int SurfaceY) const
{
    if (!FSurface.Pixels || !FClip.Contains(SurfaceX, SurfaceY))
        return false;
    return !FRegion || FRegion->Contains(SurfaceX, SurfaceY);
}

void TCanvas::PutSurfacePixel(int SurfaceX, int SurfaceY, TColor Color)
{
    if (Visible(SurfaceX, SurfaceY))
        FSurface.Pixels[SurfaceY * FSurface.Width + SurfaceX] = ColorToPixel(Color);
}

void TCanvas::FillRect(const TRect& R)
{
    if (!FSurface.Pixels || R.IsEmpty())
        return;
    const TRect target = IntersectRect(
        Rect(R.Left + FOriginX, R.Top + FOriginY, R.Right + FOriginX, R.Bottom + FOriginY), FClip);
    const uint32_t pixel = ColorToPixel(FBrush.Color);
    for (int y = target.Top; y < target.Bottom; ++y) {
        uint32_t* row = FSurface.Pixels + y * FSurface.Width;
        if (!FRegion) {
            // Without a region the clip rectangle alone decides: whole rows.
            std::fill(row + target.Left, row + target.Right, pixel);
            continue;
        }
        for (int x = target.Left; x < target.Right; ++x)
            if (FRegion->Contains(x, y))
                row[x] = pixel;
    }
}

void TCanvas::MoveTo(int X, int Y)
{
    FPenPos = TPoint{X, Y};
}

void TCanvas::LineTo(int X, int Y)
{
    // Bresenham from the pen position; the end pixel is left for the next line.
    int x = FPenPos.X;
    int y = FPenPos.Y;
    const int dx = std::abs(X - x);
    const int dy = -std::abs(Y - y);
    const int sx = x < X ? 1 : -1;
    const int sy = y < Y ? 1 : -1;
    int err = dx + dy;
    while (x != X || y != Y) {
        PutSurfacePixel(x + FOriginX, y + FOriginY, FPen.Color);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    FPenPos = TPoint{X, Y};
}

TColor TCanvas::Pixel(int X, int Y) const
{
    const int sx = X + FOriginX;
    const int sy = Y + FOriginY;
    if (!Visible(sx, sy))
        return clBlack;
    return PixelToColor(FSurface.Pixels[sy * FSurface.Width + sx]);
}

void TCanvas::SetPixel(int X, int Y, TColor Color)
{
    PutSurfacePixel(X + FOriginX, Y + FOriginY, Color);
}

void TCanvas::FloodFill(int X, int Y, TColor Color, TFillStyle Style)
{
    const int startX = X + FOriginX;
    const int startY = Y + FOriginY;
    if (!Visible(startX, startY))
        return;
    const uint32_t target = ColorToPixel(Color);
    const uint32_t fill = ColorToPixel(FBrush.Color);
    auto at = [this](int x, int y) -> uint32_t& { return FSurface.Pixels[y * FSurface.Width + x]; };
    auto fillable = [&](int x, int y) {
        if (!Visible(x, y))
            return false;
        const bool matches = at(x, y) == target;
        return Style == TFillStyle::fsSurface ? matches : !matches;
    };
    if (fill == target && Style == TFillStyle::fsSurface)
        return; // nothing would change, and the fill would never end
    std::vector<uint8_t> seen(static_cast<size_t>(FSurface.Width) * FSurface.Height, 0);
    std::vector<TPoint> pending{TPoint{startX, startY}};
    while (!pending.empty()) {
        const TPoint p = pending.back();
        pending.pop_back();
        // A neighbour off the surface has no mark: it is dropped before one is looked up.
        if (!fillable(p.X, p.Y))
            continue;
        uint8_t& mark = seen[static_cast<size_t>(p.Y) * FSurface.Width + p.X];
        if (mark)
            continue;
        mark = 1;
        at(p.X, p.Y) = fill;
        pending.push_back(TPoint{p.X + 1, p.Y});
        pending.push_back(TPoint{p.X - 1, p.Y});
        pending.push_back(TPoint{p.X, p.Y + 1});
        pending.push_back(TPoint{p.X, p.Y - 1});
    }
}

void TCanvas::Draw(int X, int Y, const TBitmap& Bitmap)
{
    for (int y = 0; y < Bitmap.Height(); ++y)
        for (int x = 0; x < Bitmap.Width(); ++x)
            PutSurfacePixel(X + x + FOriginX, Y + y + FOriginY, Bitmap.Pixel(x, y));
}

void TCanvas::CopyRect(const TRect& Dest, const TCanvas& Source, const TRect& SourceRect)
{
    const int w = Dest.Width() < SourceRect.Width() ? Dest.Width() : SourceRect.Width();
    const int h = Dest.Height() < SourceRect.Height() ? Dest.Height() : SourceRect.Height();
    if (!FRegion && !Source.FRegion) {
        CopyClipped(Dest.Left, Dest.Top, Source, SourceRect.Left, SourceRect.Top, w, h);
        return;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int sx = SourceRect.Left + x + Source.FOriginX;
            const int sy = SourceRect.Top + y + Source.FOriginY;
            if (!Source.Visible(sx, sy))
                continue;
            PutSurfacePixel(Dest.Left + x + FOriginX, Dest.Top + y + FOriginY,
                            PixelToColor(Source.FSurface.Pixels[sy * Source.FSurface.Width + sx]));
        }
}

void TCanvas::CopyClipped(int DestX, int DestY, const TCanvas& Source, int SourceX, int SourceY, int W, int H)
{
    if (!FSurface.Pixels || !Source.FSurface.Pixels)
        return;
    // Surface positions of the block's top-left pixel in both canvases; the
    // block is cut to the part inside both clip rectangles.
    const int dx = DestX + FOriginX;
    const int dy = DestY + FOriginY;
    const int sx = SourceX + Source.FOriginX;
    const int sy = SourceY + Source.FOriginY;
    const TRect block = IntersectRect(
        IntersectRect(Rect(0, 0, W, H), Rect(FClip.Left - dx, FClip.Top - dy, FClip.Right - dx, FClip.Bottom - dy)),
        Rect(Source.FClip.Left - sx, Source.FClip.Top - sy, Source.FClip.Right - sx, Source.FClip.Bottom - sy));
    // Pixel by pixel in the order of the general path, so that a copy within
    // one surface gives the same picture.
    for (int y = block.Top; y < block.Bottom; ++y) {
        const uint32_t* from = Source.FSurface.Pixels + (sy + y) * Source.FSurface.Width + sx;
        uint32_t* to = FSurface.Pixels + (dy + y) * FSurface.Width + dx;
        for (int x = block.Left; x < block.Right; ++x)
            to[x] = ColorToPixel(PixelToColor(from[x]));
    }
}

int TCanvas::TextWidth(const std::string& Text) const
{
    return TextRenderer().TextWidth(FFont, Text);
}

int TCanvas::TextHeight(const std::string& Text) const
{
    return TextRenderer().TextHeight(FFont, Text);
}

void TCanvas::TextOut(int X, int Y, const std::string& Text)
{
    if (!FSurface.Pixels)
        return;
    TextRenderer().TextOut(FSurface, FClip, X + FOriginX, Y + FOriginY, FFont, Text);
    FPenPos = TPoint{X + TextWidth(Text), Y};
}

void TCanvas::SelectClipRgn(const TRegion* Region)
{
    if (Region)
        FRegion = *Region;
    else
        FRegion.reset();
}
