#pragma once
// Drawing on a surface of 32-bit pixels with brush, pen and font, pixel-exact:
// FillRect leaves out the right column and bottom row, a line covers its start
// pixel but not its end pixel, and a flood fill stays inside the clip.

#include "platform/graphics/font.h"
#include "platform/graphics/graphics.h"
#include "platform/graphics/region.h"

#include <cstdint>
#include <optional>
#include <string>

class TBitmap;

struct TBrush {
    TColor Color = clWhite;
};

struct TPen {
    TColor Color = clBlack;
    int Width = 1; // pixels; this program only draws 1-pixel lines
};

enum class TFillStyle { fsSurface, fsBorder };

// Where a canvas draws: a pixel store, its size, and the offset of the
// canvas's origin within it. The clip rectangle is in surface coordinates.
struct TSurface {
    uint32_t* Pixels = nullptr;
    int Width = 0;
    int Height = 0;
};

class TCanvas {
public:
    TBrush& Brush() { return FBrush; }
    TPen& Pen() { return FPen; }
    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }

    // Binds the canvas to a surface with its origin at (OriginX, OriginY) of the
    // surface and drawing limited to Clip (surface coordinates).
    void Bind(const TSurface& Surface, int OriginX, int OriginY, const TRect& Clip);
    void Unbind() { FSurface = TSurface{}; }
    bool Bound() const { return FSurface.Pixels != nullptr; }

    void FillRect(const TRect& R);
    void MoveTo(int X, int Y);
    void LineTo(int X, int Y);
    TPoint PenPos() const { return FPenPos; }

    // Reads the pixel; outside the surface or the clip it reads black.
    TColor Pixel(int X, int Y) const;
    void SetPixel(int X, int Y, TColor Color);

    // fsSurface fills, with the brush, the area connected to (X, Y) whose pixels
    // have Color; fsBorder fills the area bounded by Color. Both stay in the clip.
    void FloodFill(int X, int Y, TColor Color, TFillStyle Style);

    // Copies a bitmap unscaled with its top-left pixel at (X, Y).
    void Draw(int X, int Y, const TBitmap& Bitmap);
    // Copies Source of another canvas onto Dest of this one (same size, unscaled).
    void CopyRect(const TRect& Dest, const TCanvas& Source, const TRect& SourceRect);

    int TextWidth(const std::string& Text) const;
    int TextHeight(const std::string& Text) const;
    void TextOut(int X, int Y, const std::string& Text);

    // Limits further drawing to the region as well (surface coordinates), or
    // back to the bound clip rectangle alone.
    void SelectClipRgn(const TRegion* Region);

private:
    bool Visible(int SurfaceX, int SurfaceY) const;
    void PutSurfacePixel(int SurfaceX, int SurfaceY, TColor Color);
    // CopyRect of a W x H block when neither canvas has a clip region.
    void CopyClipped(int DestX, int DestY, const TCanvas& Source, int SourceX, int SourceY, int W, int H);

    TBrush FBrush;
    TPen FPen;
    TFont FFont;
    TSurface FSurface;
    int FOriginX = 0;
    int FOriginY = 0;
    TRect FClip;
    std::optional<TRegion> FRegion;
    TPoint FPenPos;
};

// Converts between TColor and the 0xFFRRGGBB pixel words of a surface.
constexpr uint32_t ColorToPixel(TColor C)
{
    return 0xFF000000u | (static_cast<uint32_t>(GetRValue(C)) << 16) | (static_cast<uint32_t>(GetGValue(C)) << 8)
        | GetBValue(C);
}
constexpr TColor PixelToColor(uint32_t P)
{
    return RGB(static_cast<uint8_t>((P >> 16) & 0xFF), static_cast<uint8_t>((P >> 8) & 0xFF),
               static_cast<uint8_t>(P & 0xFF));
}
