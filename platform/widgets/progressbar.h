#pragma once
// A progress bar showing Position within Min..Max.

#include "platform/widgets/wincontrol.h"

class TProgressBar;

// What a progress bar needs from its toolkit widget beyond a control's needs.
class TProgressBarPeer {
public:
    virtual ~TProgressBarPeer() = default;
    virtual void SetProgress(int Min, int Max, int Position) = 0;
};

std::unique_ptr<TControlPeer> CreateProgressBarPeer(TProgressBar* ProgressBar);

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    // Kept within Min..Max.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    // A continuous bar rather than blocks; the toolkit's bar is continuous either way.
    bool Smooth() const { return FSmooth; }
    void SetSmooth(bool Value) { FSmooth = Value; }

protected:
    std::unique_ptr<TControlPeer> CreatePeer() override;
    void InitializePeer(TControlPeer& APeer) override;

private:
    void ShowProgress();

    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    bool FSmooth = false;
};
