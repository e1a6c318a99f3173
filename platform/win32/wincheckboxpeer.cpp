#include "platform/widgets/checkbox.h"

#include "platform/win32/winguard.h"
#include "platform/win32/winwindowpeer.h"

namespace {

// The box is not automatic: the mark is the control's, which the peer shows.
class TWinCheckBoxPeer : public TWinWindowPeer, public TCheckBoxPeer {
public:
    explicit TWinCheckBoxPeer(TCheckBox* CheckBox)
        : TWinWindowPeer(CreateChild(WC_BUTTONW, BS_CHECKBOX | WS_TABSTOP)), FCheckBox(CheckBox)
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
            Guarded(FCheckBox, [this]() { FCheckBox->Toggle(); });
    }

private:
    TCheckBox* FCheckBox;
};

} // namespace

std::unique_ptr<TControlPeer> CreateCheckBoxPeer(TCheckBox* CheckBox)
{
    Application.Peer();
    return std::make_unique<TWinCheckBoxPeer>(CheckBox);
}
