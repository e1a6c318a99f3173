#pragma once
// What a form needs from its toolkit window beyond a control's needs.

#include "platform/widgets/controlpeer.h"

class TForm;

class TFormPeer : public TControlPeer {
public:
    // Height of the menu bar above the client area, in pixels (0 without menu).
    virtual int MenuHeight() const = 0;
    virtual void SetBorder(bool Sizeable, bool SystemMenu, bool Minimize, bool Maximize) = 0;
    virtual void SetModal(bool Modal) = 0;
    virtual void CenterOnScreen() = 0;
    virtual void SetWindowIcon(const std::string& ResourceName) = 0;
    // Places the menu bar widget (a peer of the form's main menu) above the client area.
    virtual void SetMenuWidget(TWidgetHandle MenuWidget) = 0;
};

std::unique_ptr<TFormPeer> CreateFormPeer(TForm* Form);
