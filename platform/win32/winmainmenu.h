#pragma once
// Menu commands: each item of a main menu has a command number, which its
// form's window receives in WM_COMMAND when the item is chosen.

// Runs the item with that command number; false when no item has it.
bool ChooseMenuCommand(unsigned Command);
