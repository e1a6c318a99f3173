#include "platform/widgets/trackbar.h"

#include "platform/win32/winguard.h"
#include "platform/win32/winwindowpeer.h"

#include <algorithm>

namespace {

constexpr int kTicks = 10; // about ten ticks, and a page of a tenth of the range

class TWinTrackBarPeer : public TWinWindowPeer, public TTrackBarPeer {
public:
    explicit TWinTrackBarPeer(TTrackBar* TrackBar)
        : TWinWindowPeer(CreateChild(TRACKBAR_CLASSW, TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM | WS_TABSTOP)),
          FTrackBar(TrackBar)
    {
    }

    // The program's own moves are shown without a report: a track bar tells
    // its parent only of the user's.
    void SetRange(int Min, int Max, int Position) override
    {
        SendMessageW(Handle(), TBM_SETRANGEMIN, FALSE, Min);
        SendMessageW(Handle(), TBM_SETRANGEMAX, FALSE, Max);
        const int step = std::max(1, (Max - Min) / kTicks);
        SendMessageW(Handle(), TBM_SETTICFREQ, static_cast<WPARAM>(step), 0);
        SendMessageW(Handle(), TBM_SETPAGESIZE, 0, step);
        SendMessageW(Handle(), TBM_SETPOS, TRUE, Position);
    }

protected:
    void Scrolled() override
    {
        const int position = static_cast<int>(SendMessageW(Handle(), TBM_GETPOS, 0, 0));
        Guarded(FTrackBar, [this, position]() { FTrackBar->Moved(position); });
    }

private:
    TTrackBar* FTrackBar;
};

} // namespace

std::unique_ptr<TControlPeer> CreateTrackBarPeer(TTrackBar* TrackBar)
{
    Application.Peer();
    return std::make_unique<TWinTrackBarPeer>(TrackBar);
}
