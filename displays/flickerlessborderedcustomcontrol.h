#pragma once
// The common base of the display controls: a windowed control that never lets
// the platform clear its area, composes each picture in an off-screen bitmap
// of its own size, frames it with a one-pixel sunken border and copies the
// finished picture to the screen in one block. A subclass only draws its
// content, inside the border, in DrawContent.

#include "platform/graphics/bitmap.h"
#include "platform/widgets/customcontrol.h"

#include <memory>

class TFlickerlessBorderedCustomControl : public TCustomControl {
public:
    explicit TFlickerlessBorderedCustomControl(TComponent* AOwner);
    ~TFlickerlessBorderedCustomControl() override;

    TColor BackgroundColour() const { return FBackgroundColour; }
    // Repaints even when the colour is the one already set.
    void SetBackgroundColour(TColor Value);

    // Recomputes the inner geometry from the new size; invalidates nothing itself.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // Makes text labels for the control's scale on its parent; nothing here.
    virtual void CreateLabels();

protected:
    void Paint() override;
    void WndProc(TMessage& Message) override;

    // Reserved for subclasses: an empty hook that nothing calls.
    virtual void ExtensionHook();
    // Draws the subclass's content on the off-screen canvas, after the
    // background fill and before the frame.
    virtual void DrawContent(TCanvas& ACanvas);

    // The published BackgroundColour, 0x00BBGGRR; 0x404040 after construction.
    TColor FBackgroundColour;
    // The off-screen picture; brought to the control's size by every paint.
    std::unique_ptr<TBitmap> FBitmap;
    // Width - 2: the width inside the border, pixels; 0 until the first SetBounds.
    int FInnerWidth = 0;
    // Height - 2: the height inside the border, pixels; 0 until the first SetBounds.
    int FInnerHeight = 0;
    // (1, 1, Width - 1, Height - 1): the area inside the border, right and bottom exclusive.
    TRect FInnerRect;

private:
    void DrawFrame(TCanvas& ACanvas);
};
