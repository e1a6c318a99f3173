#pragma once
// A radio button: one of a group of choices, the group being the radio buttons
// that share a parent. A click by the user checks it; checking one unchecks
// the others of its group. Every change to checked (by the user or by the
// program, but not while a form description is being read) raises OnClick.

#include "platform/widgets/wincontrol.h"

class TRadioButton;

// What a radio button needs from its toolkit widget beyond a control's needs.
class TRadioButtonPeer {
public:
    virtual ~TRadioButtonPeer() = default;
    virtual void SetChecked(bool Checked) = 0;
};

// The widget calls SetChecked(true) on the radio button when the user clicks it.
std::unique_ptr<TControlPeer> CreateRadioButtonPeer(TRadioButton* RadioButton);

class TRadioButton : public TWinControl {
public:
    explicit TRadioButton(TComponent* AOwner);

    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);

protected:
    std::unique_ptr<TControlPeer> CreatePeer() override;
    void InitializePeer(TControlPeer& APeer) override;

private:
    void ShowChecked();
    void UncheckSiblings();

    bool FChecked = false;
};
