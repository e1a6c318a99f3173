#pragma once
// Input as a person gives it, delivered to the toolkit's widgets, so that a
// test drives a control the way the user would (the control's widget must
// exist), and the picture the person sees of a control.

#include "platform/widgets/keys.h"

class TBitmap;
class TControl;
class TMenuItem;

// A left-button press and release at the middle of the control; false without a widget.
bool SimulateClick(TControl& Control);
// A key press and release at the control's widget (VK_RETURN, VK_ESCAPE,
// VK_SPACE, a letter, a digit or VK_F1 to VK_F12); false without a widget.
bool SimulateKey(TControl& Control, int VirtualKey);
// Chooses the item in its form's menu bar; false when it cannot be chosen
// (disabled, hidden, or its menu is not shown).
bool SimulateMenuClick(TMenuItem& Item);
// The control as the toolkit draws it on screen, copied into Picture (which
// takes its size); false without a widget.
bool CaptureControl(TControl& Control, TBitmap& Picture);
