#pragma once
// A push button. Clicking it (by mouse, by its "&" accelerator, by Enter as
// the default button or Escape as the cancel button, or through Click) sets
// the ModalResult of the form it lies on, when it has one, and then raises OnClick.

#include "platform/forms/form.h"
#include "platform/widgets/wincontrol.h"

class TButton;

// What a button needs from its toolkit widget beyond a control's needs.
class TButtonPeer {
public:
    virtual ~TButtonPeer() = default;
    // Drawn as the button that Enter presses.
    virtual void SetDefault(bool Default) = 0;
};

std::unique_ptr<TControlPeer> CreateButtonPeer(TButton* Button);

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* AOwner);

    // Pressed by Enter when the focused control does not use the key.
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    // Pressed by Escape.
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    // Given to the form on a click (mrNone: the form's result is left alone).
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

    void Click() override;

protected:
    std::unique_ptr<TControlPeer> CreatePeer() override;
    void InitializePeer(TControlPeer& APeer) override;

private:
    bool FDefault = false;
    bool FCancel = false;
    TModalResult FModalResult = mrNone;
};
