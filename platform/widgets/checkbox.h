#pragma once
// A check box. A click by the user toggles Checked; every change of Checked
// (by the user or by the program, but not while a form description is being
// read) raises OnClick.

#include "platform/widgets/wincontrol.h"

class TCheckBox;

// What a check box needs from its toolkit widget beyond a control's needs.
class TCheckBoxPeer {
public:
    virtual ~TCheckBoxPeer() = default;
    virtual void SetChecked(bool Checked) = 0;
};

// The widget calls Toggle on the check box when the user clicks it.
std::unique_ptr<TControlPeer> CreateCheckBoxPeer(TCheckBox* CheckBox);

class TCheckBox : public TWinControl {
public:
    explicit TCheckBox(TComponent* AOwner);

    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    // What a user's click does: Checked changes, then OnClick.
    void Toggle() { SetChecked(!FChecked); }

protected:
    std::unique_ptr<TControlPeer> CreatePeer() override;
    void InitializePeer(TControlPeer& APeer) override;

private:
    bool FChecked = false;
};
