#include "platform/widgets/button.h"

#include "platform/win32/winguard.h"
#include "platform/win32/winwindowpeer.h"

namespace {

class TWinButtonPeer : public TWinWindowPeer, public TButtonPeer {
public:
    explicit TWinButtonPeer(TButton* Button)
        : TWinWindowPeer(CreateChild(WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP)), FButton(Button)
    {
    }

    void SetDefault(bool Default) override
    {
        SendMessageW(Handle(), BM_SETSTYLE, Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }

protected:
    void Command(unsigned Code) override
    {
        if (Code == BN_CLICKED)
            Guarded(FButton, [this]() { FButton->Click(); });
    }

private:
    TButton* FButton;
};

} // namespace

std::unique_ptr<TControlPeer> CreateButtonPeer(TButton* Button)
{
    Application.Peer();
    return std::make_unique<TWinButtonPeer>(Button);
}
