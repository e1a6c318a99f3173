#pragma once
// A font as controls and canvases ask for it. Height in pixels, negative for
// the character height without internal leading (as form descriptions give it).

#include "platform/graphics/graphics.h"

#include <string>

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

struct TFont {
    std::string Name = "MS Sans Serif";
    int Height = -11;   // pixels; the sign is kept for the description's sake
    TColor Color = clWindowText;
    TFontStyles Style = 0;

    bool operator==(const TFont&) const = default;
};
