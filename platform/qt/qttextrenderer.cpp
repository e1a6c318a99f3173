#include "platform/graphics/textrenderer.h"

#include "platform/forms/application.h"
#include "platform/qt/qtconvert.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

namespace {

class TQtTextRenderer : public TTextRenderer {
public:
    int TextWidth(const TFont& Font, const std::string& Text) override
    {
        return QFontMetrics(ToQFont(Font)).horizontalAdvance(ToQString(Text));
    }

    int TextHeight(const TFont& Font, const std::string&) override
    {
        return QFontMetrics(ToQFont(Font)).height();
    }

    void TextOut(const TSurface& Surface, const TRect& Clip, int X, int Y, const TFont& Font,
                 const std::string& Text) override
    {
        QImage image(reinterpret_cast<uchar*>(Surface.Pixels), Surface.Width, Surface.Height,
                     Surface.Width * static_cast<int>(sizeof(uint32_t)), QImage::Format_RGB32);
        QPainter painter(&image);
        painter.setClipRect(Clip.Left, Clip.Top, Clip.Width(), Clip.Height());
        const QFont font = ToQFont(Font);
        painter.setFont(font);
        painter.setPen(ToQColor(Font.Color));
        painter.drawText(X, Y + QFontMetrics(font).ascent(), ToQString(Text));
    }
};

} // namespace

TTextRenderer& TextRenderer()
{
    Application.Peer(); // fonts need the toolkit
    static TQtTextRenderer renderer;
    return renderer;
}
