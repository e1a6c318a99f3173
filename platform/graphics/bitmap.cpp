#include "platform/graphics/bitmap.h"

#include "platform/kernel/exception.h"
#include "platform/kernel/resources.h"

TBitmap::TBitmap()
{
    Rebind();
}

void TBitmap::SetSize(int AWidth, int AHeight)
{
    if (AWidth < 0)
        AWidth = 0;
    if (AHeight < 0)
        AHeight = 0;
    if (AWidth == FWidth && AHeight == FHeight)
        return;
    FWidth = AWidth;
    FHeight = AHeight;
    FPixels.assign(static_cast<size_t>(FWidth) * FHeight, ColorToPixel(clWhite));
    ++FAllocations;
    Rebind();
}

TColor TBitmap::Pixel(int X, int Y) const
{
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        return clBlack;
    return PixelToColor(FPixels[static_cast<size_t>(Y) * FWidth + X]);
}

void TBitmap::LoadFromResourceName(const std::string& Name)
{
    TDecodedImage image;
    if (!LoadResourceImage(Name, image))
        throw Exception("Resource " + Name + " not found");
    SetSize(image.Width, image.Height);
    FPixels = std::move(image.Pixels);
    Rebind();
}

void TBitmap::Rebind()
{
    FCanvas.Bind(TSurface{FPixels.data(), FWidth, FHeight}, 0, 0, Rect(0, 0, FWidth, FHeight));
}
