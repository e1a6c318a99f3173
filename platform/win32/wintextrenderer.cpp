#include "platform/graphics/textrenderer.h"
#include "platform/forms/application.h"

#include "platform/win32/widetext.h"
#include "platform/win32/winfont.h"

#include <algorithm>
#include <cstring>

namespace {

// Text measured and drawn by GDI in the forms' fonts. Drawing goes through a
// DIB section at least the clip's size, kept for the next text: the surface's
// pixels are copied in, the text drawn, and the pixels copied back.
class TWinTextRenderer : public TTextRenderer {
public:
    TWinTextRenderer() : FDC(CreateCompatibleDC(nullptr)) {}
    ~TWinTextRenderer() override
    {
        if (FBitmap)
            DeleteObject(FBitmap);
        DeleteDC(FDC);
    }

    TWinTextRenderer(const TWinTextRenderer&) = delete;
    TWinTextRenderer& operator=(const TWinTextRenderer&) = delete;

    int TextWidth(const TFont& Font, const std::string& Text) override { return Extent(Font, Text).cx; }
    int TextHeight(const TFont& Font, const std::string&) override
    {
        SelectObject(FDC, GdiFont(Font));
        TEXTMETRICW metrics{};
        GetTextMetricsW(FDC, &metrics);
        return metrics.tmHeight;
    }

    void TextOut(const TSurface& Surface, const TRect& Clip, int X, int Y, const TFont& Font,
                 const std::string& Text) override
    {
        const TRect clip = IntersectRect(Clip, TRect{0, 0, Surface.Width, Surface.Height});
        if (clip.IsEmpty() || !Reserve(clip.Width(), clip.Height()))
            return;
        CopyRows(Surface, clip, true);
        HGDIOBJ old = SelectObject(FDC, FBitmap);
        SelectObject(FDC, GdiFont(Font));
        SetBkMode(FDC, TRANSPARENT);
        SetTextColor(FDC, Font.Color);
        const std::wstring text = WideText(Text);
        TextOutW(FDC, X - clip.Left, Y - clip.Top, text.c_str(), static_cast<int>(text.size()));
        GdiFlush();
        CopyRows(Surface, clip, false);
        SelectObject(FDC, old);
    }

private:
    SIZE Extent(const TFont& Font, const std::string& Text)
    {
        SelectObject(FDC, GdiFont(Font));
        const std::wstring text = WideText(Text);
        SIZE size{};
        GetTextExtentPoint32W(FDC, text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }

    // A DIB section of at least Width x Height pixels in FBitmap.
    bool Reserve(int Width, int Height)
    {
        if (FBitmap && Width <= FWidth && Height <= FHeight)
            return true;
        const int width = std::max(Width, FWidth);
        const int height = std::max(Height, FHeight);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // rows top to bottom
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(FDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap)
            return false;
        if (FBitmap)
            DeleteObject(FBitmap);
        FBitmap = bitmap;
        FBits = static_cast<uint32_t*>(bits);
        FWidth = width;
        FHeight = height;
        return true;
    }

    // Between the surface's clip and the DIB's pixels; GDI's text leaves the
    // top byte alone only sometimes, so the way back keeps the surface's own.
    void CopyRows(const TSurface& Surface, const TRect& Clip, bool In) const
    {
        const size_t width = static_cast<size_t>(Clip.Width());
        for (int y = 0; y < Clip.Height(); ++y) {
            uint32_t* row = Surface.Pixels + static_cast<size_t>(Clip.Top + y) * static_cast<size_t>(Surface.Width) +
                            Clip.Left;
            uint32_t* dib = FBits + static_cast<size_t>(y) * static_cast<size_t>(FWidth);
            if (In) {
                std::memcpy(dib, row, width * sizeof(uint32_t));
                continue;
            }
            for (size_t x = 0; x < width; ++x)
                row[x] = (row[x] & 0xFF000000u) | (dib[x] & 0x00FFFFFFu);
        }
    }

    HDC FDC;
    HBITMAP FBitmap = nullptr;
    uint32_t* FBits = nullptr; // FBitmap's pixels
    int FWidth = 0;            // FBitmap's size, in pixels
    int FHeight = 0;
};

} // namespace

TTextRenderer& TextRenderer()
{
    Application.Peer();
    static TWinTextRenderer renderer;
    return renderer;
}
