#pragma once
// Input as a person gives it, delivered to the toolkit's widgets, so that a
// test drives a control the way the user would (the control's widget must exist).

class TControl;
class TMenuItem;

// Keys that SimulateKey sends.
enum : int { VK_RETURN = 0x0D, VK_ESCAPE = 0x1B, VK_SPACE = 0x20 };

// A left-button press and release at the middle of the control; false without a widget.
bool SimulateClick(TControl& Control);
// A key press and release at the control's widget; false without a widget.
bool SimulateKey(TControl& Control, int VirtualKey);
// Chooses the item in its form's menu bar; false when it cannot be chosen
// (disabled, hidden, or its menu is not shown).
bool SimulateMenuClick(TMenuItem& Item);
