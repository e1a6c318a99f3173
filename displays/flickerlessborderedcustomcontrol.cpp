#include "displays/flickerlessborderedcustomcontrol.h"

namespace {

constexpr TColor DefaultBackgroundColour = 0x404040; // dark grey
constexpr TColor ShadowEdgeColour = clBlack;         // upper and left frame edges
constexpr TColor LightEdgeColour = clWhite;          // lower and right frame edges
constexpr int BorderPixels = 1;                      // the frame is one pixel wide
constexpr LRESULT BackgroundErased = 1;              // tells the platform the erase is done

} // namespace

TFlickerlessBorderedCustomControl::TFlickerlessBorderedCustomControl(TComponent* AOwner)
    : TCustomControl(AOwner), FBackgroundColour(DefaultBackgroundColour), FBitmap(std::make_unique<TBitmap>())
{
    // The whole area is painted every time, so the platform must never clear it first.
    SetControlStyle(ControlStyle() | csOpaque);
}

TFlickerlessBorderedCustomControl::~TFlickerlessBorderedCustomControl()
{
    FBitmap.reset();
}

void TFlickerlessBorderedCustomControl::SetBackgroundColour(TColor Value)
{
    FBackgroundColour = Value;
    Invalidate();
}

void TFlickerlessBorderedCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    FInnerWidth = Width() - 2 * BorderPixels;
    FInnerHeight = Height() - 2 * BorderPixels;
    FInnerRect = Rect(BorderPixels, BorderPixels, Width() - BorderPixels, Height() - BorderPixels);
}

void TFlickerlessBorderedCustomControl::CreateLabels() {}

void TFlickerlessBorderedCustomControl::ExtensionHook() {}

void TFlickerlessBorderedCustomControl::DrawContent(TCanvas&) {}

void TFlickerlessBorderedCustomControl::WndProc(TMessage& Message)
{
    // The erase is answered as done without touching a pixel: Paint covers everything.
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = BackgroundErased;
        return;
    }
    TCustomControl::WndProc(Message);
}

void TFlickerlessBorderedCustomControl::Paint()
{
    if (!Showing())
        return;
    // Keeps the picture (and allocates nothing) while the size is unchanged.
    FBitmap->SetSize(Width(), Height());
    TCanvas& offscreen = FBitmap->Canvas();
    offscreen.Brush().Color = FBackgroundColour;
    offscreen.FillRect(FInnerRect);
    DrawContent(offscreen);
    // The frame goes on last, so nothing a subclass draws ever covers it.
    DrawFrame(offscreen);
    const TRect client = ClientRect();
    Canvas().CopyRect(client, offscreen, client);
}

void TFlickerlessBorderedCustomControl::DrawFrame(TCanvas& ACanvas)
{
    // A line leaves out its end pixel: the dark edges stop short of the
    // top-right and bottom-left corners, which the light edges take.
    ACanvas.Pen().Color = ShadowEdgeColour;
    ACanvas.MoveTo(Width() - 1, 0);
    ACanvas.LineTo(0, 0);
    ACanvas.LineTo(0, Height());
    ACanvas.Pen().Color = LightEdgeColour;
    ACanvas.MoveTo(0, Height() - 1);
    ACanvas.LineTo(Width() - 1, Height() - 1);
    ACanvas.LineTo(Width() - 1, -1);
}
