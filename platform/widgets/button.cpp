#include "platform/widgets/button.h"

namespace {

// Size of a button before anything sizes it, in pixels.
constexpr int kDefaultButtonWidth = 75;
constexpr int kDefaultButtonHeight = 25;

} // namespace

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, kDefaultButtonWidth, kDefaultButtonHeight);
}

void TButton::SetDefault(bool Value)
{
    FDefault = Value;
    WithPeer([Value](TControlPeer& p) {
        if (auto* peer = dynamic_cast<TButtonPeer*>(&p))
            peer->SetDefault(Value);
    });
}

void TButton::Click()
{
    if (FModalResult != mrNone)
        if (TForm* form = GetParentForm(this))
            form->SetModalResult(FModalResult);
    TWinControl::Click();
}

std::unique_ptr<TControlPeer> TButton::CreatePeer()
{
    return CreateButtonPeer(this);
}

void TButton::InitializePeer(TControlPeer& APeer)
{
    TWinControl::InitializePeer(APeer);
    if (auto* peer = dynamic_cast<TButtonPeer*>(&APeer))
        peer->SetDefault(FDefault);
}
