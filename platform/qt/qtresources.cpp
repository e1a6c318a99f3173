#include "platform/kernel/resources.h"

#include "platform/forms/application.h"
#include "platform/qt/qtconvert.h"

#include <QDir>
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

namespace {

bool DecodeImage(const QString& Path, QImage::Format Format, TDecodedImage& Image)
{
    Application.Peer();
    QImage image(Path);
    if (image.isNull())
        return false;
    image = image.convertToFormat(Format);
    Image.Width = image.width();
    Image.Height = image.height();
    Image.Pixels.resize(static_cast<size_t>(Image.Width) * Image.Height);
    for (int y = 0; y < Image.Height; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        std::copy(line, line + Image.Width, Image.Pixels.begin() + static_cast<ptrdiff_t>(y) * Image.Width);
    }
    return true;
}

} // namespace

bool LoadResourceImage(const std::string& Name, TDecodedImage& Image)
{
    return DecodeImage(QStringLiteral(":/bitmaps/") + ToQString(Name) + QStringLiteral(".bmp"), QImage::Format_RGB32,
                       Image);
}

bool LoadIconImage(const std::string& Name, TDecodedImage& Image)
{
    return DecodeImage(QStringLiteral(":/icons/") + ToQString(Name) + QStringLiteral(".png"), QImage::Format_ARGB32,
                       Image);
}

std::vector<std::string> ListResources(const std::string& Folder)
{
    std::vector<std::string> names;
    const QStringList entries = QDir(QStringLiteral(":/") + ToQString(Folder)).entryList(QDir::Files, QDir::Name);
    for (const QString& entry : entries)
        names.push_back(FromQString(entry));
    return names;
}
