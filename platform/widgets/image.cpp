#include "platform/widgets/image.h"

namespace {

// Size of an image before anything sizes it, in pixels.
constexpr int kDefaultImageSize = 105;
// Alpha from which a picture's pixel covers the parent.
constexpr uint32_t kOpaqueFrom = 0x80;

} // namespace

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner)
{
    SetBounds(0, 0, kDefaultImageSize, kDefaultImageSize);
}

void TImage::SetPicture(const TDecodedImage& Value)
{
    FPicture = Value;
    Invalidate();
}

bool TImage::LoadFromResource(const std::string& Name)
{
    TDecodedImage picture;
    if (!LoadResourceImage(Name, picture))
        return false;
    SetPicture(picture);
    return true;
}

bool TImage::ShowApplicationIcon()
{
    TDecodedImage picture;
    if (!LoadIconImage(ProgramIconName, picture))
        return false;
    SetPicture(picture);
    return true;
}

void TImage::SetStretch(bool Value)
{
    FStretch = Value;
    Invalidate();
}

void TImage::Paint()
{
    if (FPicture.Width <= 0 || FPicture.Height <= 0)
        return;
    const int w = FStretch ? Width() : FPicture.Width;
    const int h = FStretch ? Height() : FPicture.Height;
    for (int y = 0; y < h; ++y) {
        const int sy = static_cast<int>(static_cast<int64_t>(y) * FPicture.Height / h);
        for (int x = 0; x < w; ++x) {
            const int sx = static_cast<int>(static_cast<int64_t>(x) * FPicture.Width / w);
            const uint32_t pixel = FPicture.Pixels[static_cast<size_t>(sy) * FPicture.Width + sx];
            if ((pixel >> 24) >= kOpaqueFrom)
                Canvas().SetPixel(x, y, PixelToColor(pixel));
        }
    }
}
