#include "platform/widgets/radiobutton.h"

#include "platform/win32/winguard.h"
#include "platform/win32/winwindowpeer.h"

namespace {

// Not automatic: the group is the control's, whose siblings the component unchecks.
class TWinRadioButtonPeer : public TWinWindowPeer, public TRadioButtonPeer {
public:
    explicit TWinRadioButtonPeer(TRadioButton* RadioButton)
        : TWinWindowPeer(CreateChild(WC_BUTTONW, BS_RADIOBUTTON | WS_TABSTOP)), FRadioButton(RadioButton)
    {
    }

    void SetChecked(bool Checked) override
    {
        SendMessageW(Handle(), BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }

protected:
    void Command(unsigned Code) override
    {
        if (Code == BN_CLICKED)
            Guarded(FRadioButton, [this]() { FRadioButton->SetChecked(true); });
    }

private:
    TRadioButton* FRadioButton;
};

} // namespace

std::unique_ptr<TControlPeer> CreateRadioButtonPeer(TRadioButton* RadioButton)
{
    Application.Peer();
    return std::make_unique<TWinRadioButtonPeer>(RadioButton);
}
