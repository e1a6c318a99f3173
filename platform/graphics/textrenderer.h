#pragma once
// Text metrics and text drawing, provided by the window toolkit.

#include "platform/graphics/canvas.h"
#include "platform/graphics/font.h"

#include <string>

class TTextRenderer {
public:
    virtual ~TTextRenderer() = default;
    virtual int TextWidth(const TFont& Font, const std::string& Text) = 0;
    virtual int TextHeight(const TFont& Font, const std::string& Text) = 0;
    // Draws Text with its top-left corner at (X, Y) of the surface, inside Clip.
    virtual void TextOut(const TSurface& Surface, const TRect& Clip, int X, int Y, const TFont& Font,
                         const std::string& Text) = 0;
};

// The toolkit's renderer; starts the toolkit when needed.
TTextRenderer& TextRenderer();
