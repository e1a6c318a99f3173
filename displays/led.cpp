#include "displays/led.h"

#include "platform/graphics/region.h"

#include <exception>

namespace {

constexpr int DefaultSizePixels = 17;
constexpr TColor DefaultColour = clLime;
const char* const LampResourceName = "TLED";
// The picture sits one pixel in from the control's top-left corner.
constexpr int PictureOffset = 1;
// The clip circle is inscribed in a square this much wider than the picture.
constexpr int ClipCircleMargin = 3;
// The body's centre on the control: picture pixel (7, 7).
constexpr int BodyCentreX = 8;
constexpr int BodyCentreY = 8;

} // namespace

TLED::TLED(TComponent* AOwner)
    : TGraphicControl(AOwner), FColour(DefaultColour), FBitmap(std::make_unique<TBitmap>())
{
    SetWidth(DefaultSizePixels);
    SetHeight(DefaultSizePixels);
    // A lamp without its picture simply shows nothing.
    try {
        FBitmap->LoadFromResourceName(LampResourceName);
    } catch (const std::exception&) {
        FBitmap = std::make_unique<TBitmap>();
    }
}

TLED::~TLED()
{
    FBitmap.reset();
}

void TLED::SetColour(TColor Value)
{
    if (Value == FColour)
        return;
    FColour = Value;
    Invalidate();
}

void TLED::Paint()
{
    const int pictureWidth = FBitmap->Width();
    // The circle inscribed in the square of side pictureWidth + 3 at the
    // control's corner, in the parent's coordinates like every clip region.
    const TRegion circle = CreateEllipticRgn(Left(), Top(), Left() + pictureWidth + ClipCircleMargin,
                                             Top() + pictureWidth + ClipCircleMargin);
    TCanvas& canvas = Canvas();
    canvas.SelectClipRgn(&circle);
    canvas.Draw(PictureOffset, PictureOffset, *FBitmap);
    // The body as the surface shows it; everything of that colour connected
    // to the centre takes Colour, rim, highlight and specks stay.
    const TColor body = canvas.Pixel(BodyCentreX, BodyCentreY);
    canvas.Brush().Color = FColour;
    canvas.FloodFill(BodyCentreX, BodyCentreY, body, TFillStyle::fsSurface);
    canvas.SelectClipRgn(nullptr);
}
