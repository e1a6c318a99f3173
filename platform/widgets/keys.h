#pragma once
// Keys as the class library names them: virtual-key codes, and shortcuts (a
// key with Shift, Ctrl or Alt held) as menu items carry them.

// Virtual-key codes; a letter or digit is its own upper-case character ('A', '0').
enum : int {
    VK_RETURN = 0x0D,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_F1 = 0x70, // to VK_F12, one after another
    VK_F12 = 0x7B,
};

// A virtual-key code with the bits of the keys held added; scNone is no shortcut.
using TShortCut = int;
enum : int { scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };
