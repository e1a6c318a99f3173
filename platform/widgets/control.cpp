#include "platform/widgets/control.h"

#include "platform/widgets/wincontrol.h"

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {}

TControl::~TControl()
{
    Destroying();
    DestroyComponents();
    SetParent(nullptr);
    DestroyPeer();
}

void TControl::DestroyPeer()
{
    FPeer.reset();
}

void TControl::SetParent(TWinControl* AParent)
{
    if (AParent == FParent)
        return;
    if (FParent)
        FParent->RemoveControl(this);
    if (AParent)
        AParent->InsertControl(this);
    FParent = AParent;
    ParentChanged();
    if (FParent && FParent->HandleAllocated())
        HandleNeeded();
    WithPeer([this](TControlPeer& p) { p.SetParentPeer(FParent ? FParent->Peer() : nullptr); });
    if (FParent)
        FParent->InvalidateRect(BoundsRect());
}

void TControl::ParentChanged()
{
    if (!FParent)
        return;
    if (FParentFont) {
        FFont = FParent->Font();
        WithPeer([this](TControlPeer& p) { p.SetFont(FFont); });
    }
    if (FParentColor) {
        FColor = FParent->Color();
        WithPeer([this](TControlPeer& p) { p.SetColor(FColor); });
    }
    Invalidate();
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const TRect old = BoundsRect();
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    WithPeer([&](TControlPeer& p) { p.SetBounds(FLeft, FTop, FWidth, FHeight); });
    if (FParent && !(old == BoundsRect())) {
        FParent->InvalidateRect(old);
        FParent->InvalidateRect(BoundsRect());
    }
}

void TControl::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    FVisible = Value;
    WithPeer([Value](TControlPeer& p) { p.SetVisible(Value); });
    if (FParent)
        FParent->InvalidateRect(BoundsRect());
}

void TControl::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    WithPeer([Value](TControlPeer& p) { p.SetEnabled(Value); });
    Invalidate();
}

bool TControl::Showing() const
{
    bool shown = false;
    WithPeer([&shown](TControlPeer& p) { shown = p.Showing(); });
    return shown;
}

void TControl::SetCaption(const std::string& Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    WithPeer([this](TControlPeer& p) { p.SetText(FCaption); });
    TextChanged();
    Invalidate();
}

void TControl::SetColor(TColor Value)
{
    FColor = Value;
    FParentColor = false;
    WithPeer([Value](TControlPeer& p) { p.SetColor(Value); });
    Invalidate();
}

void TControl::SetFont(const TFont& Value)
{
    FFont = Value;
    FParentFont = false;
    WithPeer([this](TControlPeer& p) { p.SetFont(FFont); });
    Invalidate();
}

void TControl::SetParentFont(bool Value)
{
    FParentFont = Value;
    if (Value)
        ParentChanged();
}

void TControl::SetParentColor(bool Value)
{
    FParentColor = Value;
    if (Value)
        ParentChanged();
}

void TControl::SetHint(const std::string& Value)
{
    FHint = Value;
    WithPeer([this](TControlPeer& p) { p.SetHint(FHint, FShowHint); });
}

void TControl::SetShowHint(bool Value)
{
    FShowHint = Value;
    WithPeer([this](TControlPeer& p) { p.SetHint(FHint, FShowHint); });
}

void TControl::SetCursor(int Value)
{
    FCursor = Value;
    WithPeer([Value](TControlPeer& p) { p.SetCursor(Value); });
}

void TControl::Click()
{
    if (FOnClick)
        FOnClick(this);
}

void TControl::Invalidate()
{
    WithPeer([this](TControlPeer& p) { p.Invalidate(ClientRect()); });
}

void TControl::Update()
{
    WithPeer([](TControlPeer& p) { p.Update(); });
}

void TControl::Repaint()
{
    Invalidate();
    Update();
}

LRESULT TControl::Perform(unsigned Msg, WPARAM WParam, LPARAM LParam)
{
    TMessage message{Msg, WParam, LParam, 0};
    WndProc(message);
    return message.Result;
}

void TControl::WndProc(TMessage&) {}

void TControl::HandleNeeded()
{
    if (FPeer)
        return;
    FPeer = CreatePeer();
    if (FPeer)
        InitializePeer(*FPeer);
}

void TControl::InitializePeer(TControlPeer& APeer)
{
    APeer.SetParentPeer(FParent ? FParent->Peer() : nullptr);
    APeer.SetFont(FFont);
    APeer.SetColor(FColor);
    APeer.SetText(FCaption);
    APeer.SetHint(FHint, FShowHint);
    APeer.SetEnabled(FEnabled);
    APeer.SetCursor(FCursor);
    APeer.SetBounds(FLeft, FTop, FWidth, FHeight);
    APeer.SetVisible(FVisible);
}
