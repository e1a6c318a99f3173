#include "platform/widgets/radiobutton.h"

namespace {

// Size of a radio button before anything sizes it, in pixels.
constexpr int kDefaultRadioButtonWidth = 113;
constexpr int kDefaultRadioButtonHeight = 17;

} // namespace

TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, kDefaultRadioButtonWidth, kDefaultRadioButtonHeight);
}

void TRadioButton::SetChecked(bool Value)
{
    if (Value == FChecked)
        return;
    FChecked = Value;
    ShowChecked();
    if (FChecked)
        UncheckSiblings();
    // While loading, the handlers' components may not exist yet.
    if (!IsLoading())
        Click();
}

void TRadioButton::UncheckSiblings()
{
    const TWinControl* parent = Parent();
    if (!parent)
        return;
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* other = dynamic_cast<TRadioButton*>(parent->Controls(i));
        if (other && other != this && other->FChecked) {
            other->FChecked = false;
            other->ShowChecked();
        }
    }
}

void TRadioButton::ShowChecked()
{
    WithPeer([this](TControlPeer& p) {
        if (auto* peer = dynamic_cast<TRadioButtonPeer*>(&p))
            peer->SetChecked(FChecked);
    });
}

std::unique_ptr<TControlPeer> TRadioButton::CreatePeer()
{
    return CreateRadioButtonPeer(this);
}

void TRadioButton::InitializePeer(TControlPeer& APeer)
{
    TWinControl::InitializePeer(APeer);
    if (auto* peer = dynamic_cast<TRadioButtonPeer*>(&APeer))
        peer->SetChecked(FChecked);
}
