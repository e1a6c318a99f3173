#include "platform/widgets/checkbox.h"

namespace {

// Size of a check box before anything sizes it, in pixels.
constexpr int kDefaultCheckBoxWidth = 97;
constexpr int kDefaultCheckBoxHeight = 17;

} // namespace

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, kDefaultCheckBoxWidth, kDefaultCheckBoxHeight);
}

void TCheckBox::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    WithPeer([Value](TControlPeer& p) {
        if (auto* peer = dynamic_cast<TCheckBoxPeer*>(&p))
            peer->SetChecked(Value);
    });
    // While loading, the handlers' components may not exist yet.
    if (!IsLoading())
        Click();
}

std::unique_ptr<TControlPeer> TCheckBox::CreatePeer()
{
    return CreateCheckBoxPeer(this);
}

void TCheckBox::InitializePeer(TControlPeer& APeer)
{
    TWinControl::InitializePeer(APeer);
    if (auto* peer = dynamic_cast<TCheckBoxPeer*>(&APeer))
        peer->SetChecked(FChecked);
}
