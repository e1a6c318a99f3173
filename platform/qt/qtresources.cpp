#include "platform/resources.h"

#include "platform/application.h"
#include "platform/qt/qtconvert.h"

#include <QFile>
#include <QImage>

bool ReadResource(const std::string& Path, std::vector<uint8_t>& Data)
{
    QFile file(QStringLiteral(":/") + ToQString(Path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    Data.assign(bytes.begin(), bytes.end());
    return true;
}

bool LoadResourceImage(const std::string& Name, TDecodedImage& Image)
{
    Application.Peer();
    QImage image(QStringLiteral(":/bitmaps/") + ToQString(Name) + QStringLiteral(".bmp"));
    if (image.isNull())
        return false;
    image = image.convertToFormat(QImage::Format_RGB32);
    Image.Width = image.width();
    Image.Height = image.height();
    Image.Pixels.resize(static_cast<size_t>(Image.Width) * Image.Height);
    for (int y = 0; y < Image.Height; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        std::copy(line, line + Image.Width, Image.Pixels.begin() + static_cast<ptrdiff_t>(y) * Image.Width);
    }
    return true;
}
