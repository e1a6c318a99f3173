#pragma once
// The base of every visible control: position and size (always through
// SetBounds), visibility, enabled state, caption, font, colour, hint, clicks
// and paint requests.

#include "platform/graphics/font.h"
#include "platform/graphics/graphics.h"
#include "platform/kernel/component.h"
#include "platform/kernel/messages.h"
#include "platform/widgets/controlpeer.h"

#include <memory>
#include <string>

class TWinControl;
class TCanvas;

// Window messages a control answers through Perform.
enum : unsigned {
    WM_ERASEBKGND = 0x0014,
};

// Flags of ControlStyle.
enum TControlStyleFlag : unsigned {
    csOpaque = 1u << 6, // the control fills its whole area; no background erase
};
using TControlStyle = unsigned;

enum TAnchorKind : unsigned { akLeft = 1, akTop = 2, akRight = 4, akBottom = 8 };
using TAnchors = unsigned;

// Horizontal placement of text within a control.
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Mouse pointer shapes (the values of Cursor).
enum : int { crDefault = 0, crArrow = -2, crIBeam = -4, crHourGlass = -11, crHandPoint = -21 };

class TControl : public TComponent {
public:
    explicit TControl(TComponent* AOwner);
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* AParent);

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    // Every change of position or size comes through here.
    virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
    TRect BoundsRect() const { return Rect(FLeft, FTop, FLeft + FWidth, FTop + FHeight); }
    virtual TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool Value);
    // Whether the control and all its parents are visible on screen.
    virtual bool Showing() const;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    const std::string& Text() const { return FCaption; }
    void SetText(const std::string& Value) { SetCaption(Value); }

    TColor Color() const { return FColor; }
    virtual void SetColor(TColor Value);
    const TFont& Font() const { return FFont; }
    virtual void SetFont(const TFont& Value);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);

    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value);
    bool ShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    TAnchors Anchors() const { return FAnchors; }
    void SetAnchors(TAnchors Value) { FAnchors = Value; }
    int Cursor() const { return FCursor; }
    void SetCursor(int Value);

    TControlStyle ControlStyle() const { return FControlStyle; }
    void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }

    TNotifyEvent OnClick() const { return FOnClick; }
    void SetOnClick(TNotifyEvent Value) { FOnClick = std::move(Value); }
    // Runs the control's click behaviour, which raises OnClick.
    virtual void Click();

    // Asks for a later paint.
    virtual void Invalidate();
    // Paints now whatever is waiting to be painted.
    virtual void Update();
    void Repaint();

    // Sends a message to the control's own handler and returns its result.
    LRESULT Perform(unsigned Msg, WPARAM WParam, LPARAM LParam);

    // The toolkit widget, created on first need (nullptr for controls that
    // paint on their parent).
    TControlPeer* Peer() const { return FPeer.get(); }
    virtual void HandleNeeded();
    bool HandleAllocated() const { return FPeer != nullptr; }

protected:
    virtual void WndProc(TMessage& Message);
    // Makes the toolkit widget of this kind of control; nullptr for none.
    virtual std::unique_ptr<TControlPeer> CreatePeer() { return nullptr; }
    // Copies the control's state into a new peer.
    virtual void InitializePeer(TControlPeer& APeer);
    // Runs F with the peer if there is one. Every call into the toolkit comes
    // through here.
    template <class F>
    void WithPeer(F&& Call) const
    {
        if (FPeer)
            Call(*FPeer);
    }
    void DestroyPeer();
    // Called after the caption has changed (a label sizes itself to it).
    virtual void TextChanged() {}
    // Sets the visibility a new control starts with, without a peer call.
    void InitVisible(bool Value) { FVisible = Value; }

public:
    // Called when the parent, or its font or colour, changes.
    virtual void ParentChanged();

private:
    TWinControl* FParent = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 0;
    int FHeight = 0;
    bool FVisible = true;
    bool FEnabled = true;
    std::string FCaption;
    TColor FColor = clBtnFace;
    TFont FFont;
    bool FParentFont = true;
    bool FParentColor = true;
    std::string FHint;
    bool FShowHint = false;
    TAnchors FAnchors = akLeft | akTop;
    int FCursor = 0;
    TControlStyle FControlStyle = 0;
    TNotifyEvent FOnClick;
    std::unique_ptr<TControlPeer> FPeer;
};
