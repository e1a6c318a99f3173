#pragma once
// A control with a toolkit window of its own, which can hold other controls.
// Windows that the program paints itself keep a surface of their own size:
// a paint erases it (unless the control is opaque), runs Paint, paints the
// windowless children on it, and the toolkit shows the result.

#include "platform/graphics/bitmap.h"
#include "platform/graphics/canvas.h"
#include "platform/widgets/control.h"

#include <vector>

class TGraphicControl;

class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* AOwner);
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int Index) const { return FControls.at(static_cast<size_t>(Index)); }
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);

    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int Value) { FTabOrder = Value; }

    void HandleNeeded() override;
    void SetColor(TColor Value) override;
    void SetFont(const TFont& Value) override;

    // Asks for a later paint of part of the window (client coordinates).
    void InvalidateRect(const TRect& Area);

    // Called by the toolkit when the window must be painted. Runs the
    // control's painting, then its windowless children's, on its surface.
    void PaintHandler();
    // The picture the window shows (valid once it has been painted).
    const TBitmap& Surface() const { return FSurface; }
    TColor SurfacePixel(int X, int Y) const { return FSurface.Pixel(X, Y); }
    // Whether this window paints itself (custom controls and forms).
    virtual bool PaintsItself() const { return false; }
    void ParentChanged() override;

protected:
    // The window's own painting; the canvas is valid while it runs.
    virtual void PaintWindow(TCanvas& ACanvas);
    void WndProc(TMessage& Message) override;
    void InitializePeer(TControlPeer& APeer) override;
    TCanvas& SurfaceCanvas() { return FSurface.Canvas(); }

private:
    void PaintGraphicChildren();
    void NotifyChildren();

    std::vector<TControl*> FControls;
    int FTabOrder = -1;
    TBitmap FSurface;
};
