#include "platform/graphics/textrenderer.h"
#include "platform/forms/application.h"

#include "platform/win32/widetext.h"
#include "platform/win32/winfont.h"

#include <cstring>

namespace {

// Text measured and drawn by GDI in the forms' fonts. Drawing goes through a
// DIB section of the clip's size: the surface's pixels are copied in, the
// text drawn, and the pixels copied back.
class TWinTextRenderer : public TTextRenderer {
public:
    TWinTextRenderer() : FDC(CreateCompatibleDC(nullptr)) {}

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
        if (clip.IsEmpty())
            return;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = clip.Width();
        info.bmiHeader.biHeight = -clip.Height();
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(FDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!bitmap)
            return;
        auto* pixels = static_cast<uint32_t*>(bits);
        CopyRows(Surface, clip, pixels, true);
        HGDIOBJ old = SelectObject(FDC, bitmap);
        SelectObject(FDC, GdiFont(Font));
        SetBkMode(FDC, TRANSPARENT);
        SetTextColor(FDC, Font.Color);
        const std::wstring text = WideText(Text);
        TextOutW(FDC, X - clip.Left, Y - clip.Top, text.c_str(), static_cast<int>(text.size()));
        GdiFlush();
        CopyRows(Surface, clip, pixels, false);
        SelectObject(FDC, old);
        DeleteObject(bitmap);
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

    // Between the surface's clip and the DIB's pixels; GDI's text leaves the
    // top byte alone only sometimes, so the way back keeps the surface's own.
    static void CopyRows(const TSurface& Surface, const TRect& Clip, uint32_t* Pixels, bool In)
    {
        const size_t width = static_cast<size_t>(Clip.Width());
        for (int y = 0; y < Clip.Height(); ++y) {
            uint32_t* row = Surface.Pixels + static_cast<size_t>(Clip.Top + y) * static_cast<size_t>(Surface.Width) +
                            Clip.Left;
            uint32_t* dib = Pixels + static_cast<size_t>(y) * width;
            if (In) {
                std::memcpy(dib, row, width * sizeof(uint32_t));
                continue;
            }
            for (size_t x = 0; x < width; ++x)
                row[x] = (row[x] & 0xFF000000u) | (dib[x] & 0x00FFFFFFu);
        }
    }

    HDC FDC;
};

} // namespace

TTextRenderer& TextRenderer()
{
    Application.Peer();
    static TWinTextRenderer renderer;
    return renderer;
}
