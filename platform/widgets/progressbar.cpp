#include "platform/widgets/progressbar.h"

#include <algorithm>

namespace {

// Size of a progress bar before anything sizes it, in pixels.
constexpr int kDefaultBarWidth = 150;
constexpr int kDefaultBarHeight = 16;

} // namespace

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, kDefaultBarWidth, kDefaultBarHeight);
}

void TProgressBar::SetMin(int Value)
{
    FMin = Value;
    FMax = std::max(FMax, FMin);
    SetPosition(FPosition);
    ShowProgress();
}

void TProgressBar::SetMax(int Value)
{
    FMax = Value;
    FMin = std::min(FMin, FMax);
    SetPosition(FPosition);
    ShowProgress();
}

void TProgressBar::SetPosition(int Value)
{
    FPosition = std::clamp(Value, FMin, FMax);
    ShowProgress();
}

void TProgressBar::ShowProgress()
{
    WithPeer([this](TControlPeer& p) {
        if (auto* peer = dynamic_cast<TProgressBarPeer*>(&p))
            peer->SetProgress(FMin, FMax, FPosition);
    });
}

std::unique_ptr<TControlPeer> TProgressBar::CreatePeer()
{
    return CreateProgressBarPeer(this);
}

void TProgressBar::InitializePeer(TControlPeer& APeer)
{
    TWinControl::InitializePeer(APeer);
    if (auto* peer = dynamic_cast<TProgressBarPeer*>(&APeer))
        peer->SetProgress(FMin, FMax, FPosition);
}
