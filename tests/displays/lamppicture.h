#pragma once
// The lamp picture as drawn: 15 x 15, row 0 at the top.
// '.' silver, 'K' black, 'M' maroon, 'G' lime (the body), 'W' white.

#include "platform/graphics/graphics.h"

#include <array>

constexpr int LampPictureSize = 15;

inline const std::array<const char*, LampPictureSize> LampPictureRows = {
    ".....MMKKK.....",
    "...MKKKKKKKK...",
    "..MMKGGGGGKMK..",
    ".MMKGG..GGGKMK.",
    ".KKGWWGGGGGGKK.",
    "MKGGWGGGGGGGGKK",
    "MKG.GGGGGGGGGKK",
    "KKG.GGGGGGGGGKK",
    "KKGGGGGGGGGGGKK",
    "KKGGGGGGGGGGGKK",
    ".KKGGGGGGGGGKK.",
    ".KMKGGGGGGGKKM.",
    "..KMKGGGGGKKM..",
    "...KKKKKKKKM...",
    ".....KKKKK.....",
};

inline TColor LampPixelColour(char Pixel)
{
    switch (Pixel) {
    case 'K': return clBlack;
    case 'M': return clMaroon;
    case 'G': return clLime;
    case 'W': return clWhite;
    default: return clSilver;
    }
}

// Palette index of each letter in the standard 16-colour palette.
inline int LampPixelIndex(char Pixel)
{
    switch (Pixel) {
    case 'K': return 0;
    case 'M': return 1;
    case 'G': return 10;
    case 'W': return 15;
    default: return 8;
    }
}
