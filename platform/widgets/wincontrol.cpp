#include "platform/widgets/wincontrol.h"

#include "platform/widgets/graphiccontrol.h"

#include <algorithm>

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl()
{
    Destroying();
    DestroyComponents();
    // Children that belong to other owners leave with their window.
    while (!FControls.empty()) {
        TControl* child = FControls.back();
        child->SetParent(nullptr);
    }
    SetParent(nullptr);
    DestroyPeer();
}

void TWinControl::InsertControl(TControl* AControl)
{
    if (std::find(FControls.begin(), FControls.end(), AControl) == FControls.end())
        FControls.push_back(AControl);
}

void TWinControl::RemoveControl(TControl* AControl)
{
    FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
    InvalidateRect(AControl->BoundsRect());
}

void TWinControl::HandleNeeded()
{
    if (HandleAllocated())
        return;
    TControl::HandleNeeded();
    for (TControl* child : FControls)
        child->HandleNeeded();
}

void TWinControl::InitializePeer(TControlPeer& APeer)
{
    TControl::InitializePeer(APeer);
}

void TWinControl::SetColor(TColor Value)
{
    TControl::SetColor(Value);
    NotifyChildren();
}

void TWinControl::SetFont(const TFont& Value)
{
    TControl::SetFont(Value);
    NotifyChildren();
}

void TWinControl::ParentChanged()
{
    TControl::ParentChanged();
    NotifyChildren();
}

void TWinControl::NotifyChildren()
{
    // Children that take their parent's font or colour follow it.
    for (TControl* child : FControls)
        child->ParentChanged();
}

void TWinControl::InvalidateRect(const TRect& Area)
{
    WithPeer([&Area](TControlPeer& p) { p.Invalidate(Area); });
}

void TWinControl::WndProc(TMessage& Message)
{
    if (Message.Msg == WM_ERASEBKGND) {
        SurfaceCanvas().Brush().Color = Color();
        SurfaceCanvas().FillRect(ClientRect());
        Message.Result = 1;
        return;
    }
    TControl::WndProc(Message);
}

void TWinControl::PaintHandler()
{
    const TRect client = ClientRect();
    FSurface.SetSize(client.Width(), client.Height());
    if (!(ControlStyle() & csOpaque))
        Perform(WM_ERASEBKGND, 0, 0);
    SurfaceCanvas().Font() = Font();
    PaintWindow(SurfaceCanvas());
    PaintGraphicChildren();
}

void TWinControl::PaintWindow(TCanvas&) {}

void TWinControl::PaintGraphicChildren()
{
    const TSurface surface{FSurface.Bits(), FSurface.Width(), FSurface.Height()};
    for (TControl* child : FControls) {
        auto* graphic = dynamic_cast<TGraphicControl*>(child);
        if (graphic && graphic->Visible())
            graphic->PaintOn(surface, ClientRect());
    }
}
