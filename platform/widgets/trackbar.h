#pragma once
// A horizontal slider whose Position moves in whole steps within Min..Max.
// A move by the user changes Position and raises OnChange; so does a write of
// Position by the program (but not while a form description is being read).

#include "platform/widgets/wincontrol.h"

class TTrackBar;

// What a track bar needs from its toolkit widget beyond a control's needs.
class TTrackBarPeer {
public:
    virtual ~TTrackBarPeer() = default;
    // Shows the range and the position without reporting a move.
    virtual void SetRange(int Min, int Max, int Position) = 0;
};

// The widget calls Moved on the track bar when the user drags or steps it.
std::unique_ptr<TControlPeer> CreateTrackBarPeer(TTrackBar* TrackBar);

class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* AOwner);

    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    // Kept within Min..Max.
    int Position() const { return FPosition; }
    void SetPosition(int Value);
    // Sets all three at once; raises OnChange when Position changed.
    void SetParams(int Min, int Max, int Position);

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent Value) { FOnChange = std::move(Value); }
    // What a move by the user does: Position changes, then OnChange.
    void Moved(int NewPosition) { SetPosition(NewPosition); }

protected:
    std::unique_ptr<TControlPeer> CreatePeer() override;
    void InitializePeer(TControlPeer& APeer) override;

private:
    void ShowRange();

    int FMin = 0;
    int FMax = 10;
    int FPosition = 0;
    TNotifyEvent FOnChange;
};
