#include "platform/widgets/progressbar.h"

#include "platform/win32/winwindowpeer.h"

namespace {

class TWinProgressBarPeer : public TWinWindowPeer, public TProgressBarPeer {
public:
    TWinProgressBarPeer() : TWinWindowPeer(CreateChild(PROGRESS_CLASSW, 0)) {}

    void SetProgress(int Min, int Max, int Position) override
    {
        SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(Min), static_cast<LPARAM>(Max));
        SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(Position), 0);
    }
};

} // namespace

std::unique_ptr<TControlPeer> CreateProgressBarPeer(TProgressBar*)
{
    Application.Peer();
    return std::make_unique<TWinProgressBarPeer>();
}
