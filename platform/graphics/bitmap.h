#pragma once
// An off-screen picture of 32-bit pixels with a canvas to draw on it.

#include "platform/graphics/canvas.h"
#include "platform/graphics/graphics.h"

#include <cstdint>
#include <string>
#include <vector>

class TBitmap {
public:
    TBitmap();
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetWidth(int Value) { SetSize(Value, FHeight); }
    void SetHeight(int Value) { SetSize(FWidth, Value); }
    // Setting the size it already has keeps the picture and allocates nothing;
    // a new size starts white.
    void SetSize(int AWidth, int AHeight);
    bool Empty() const { return FWidth == 0 || FHeight == 0; }

    TCanvas& Canvas() { return FCanvas; }

    TColor Pixel(int X, int Y) const;

    // Loads a bitmap embedded in the program under the given name; raises
    // Exception when there is none or it cannot be decoded.
    void LoadFromResourceName(const std::string& Name);

    // Raw surface, one 0xFFRRGGBB word a pixel, rows top to bottom.
    const uint32_t* Bits() const { return FPixels.data(); }
    uint32_t* Bits() { return FPixels.data(); }
    // Number of times the pixel store was (re)allocated; lets tests and
    // benchmarks see that an ordinary paint allocates nothing.
    int Allocations() const { return FAllocations; }

private:
    void Rebind();

    int FWidth = 0;
    int FHeight = 0;
    std::vector<uint32_t> FPixels;
    int FAllocations = 0;
    TCanvas FCanvas;
};
