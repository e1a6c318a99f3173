#include "platform/widgets/trackbar.h"

#include <algorithm>

namespace {

// Size of a track bar before anything sizes it, in pixels.
constexpr int kDefaultTrackBarWidth = 150;
constexpr int kDefaultTrackBarHeight = 25;

} // namespace

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, kDefaultTrackBarWidth, kDefaultTrackBarHeight);
}

void TTrackBar::SetMin(int Value)
{
    SetParams(Value, std::max(FMax, Value), FPosition);
}

void TTrackBar::SetMax(int Value)
{
    SetParams(std::min(FMin, Value), Value, FPosition);
}

void TTrackBar::SetPosition(int Value)
{
    SetParams(FMin, FMax, Value);
}

void TTrackBar::SetParams(int Min, int Max, int Position)
{
    FMin = Min;
    FMax = std::max(Min, Max);
    const int position = std::clamp(Position, FMin, FMax);
    const bool moved = position != FPosition;
    FPosition = position;
    ShowRange();
    // While loading, the handler's components may not exist yet.
    if (moved && FOnChange && !IsLoading())
        FOnChange(this);
}

void TTrackBar::ShowRange()
{
    WithPeer([this](TControlPeer& p) {
        if (auto* peer = dynamic_cast<TTrackBarPeer*>(&p))
            peer->SetRange(FMin, FMax, FPosition);
    });
}

std::unique_ptr<TControlPeer> TTrackBar::CreatePeer()
{
    return CreateTrackBarPeer(this);
}

void TTrackBar::InitializePeer(TControlPeer& APeer)
{
    TWinControl::InitializePeer(APeer);
    if (auto* peer = dynamic_cast<TTrackBarPeer*>(&APeer))
        peer->SetRange(FMin, FMax, FPosition);
}
