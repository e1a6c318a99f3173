#pragma once
// GDI fonts for the program's fonts, made once per distinct font and kept for
// the life of the program (a program shows a handful).

#include "platform/graphics/font.h"

#include "platform/win32/winapi.h"

// The font's GDI handle; Height keeps GDI's meaning (negative: character height).
HFONT GdiFont(const TFont& Font);
