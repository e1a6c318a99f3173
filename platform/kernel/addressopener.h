#pragma once
// Opening a web address or document with the desktop's default program.

#include <functional>
#include <string>

// Asks the desktop to open Address with the program registered for it. True
// when the desktop took it; nothing is shown to the user either way.
bool ShellOpen(const std::string& Address);

// Receives the address in place of the desktop (tests); an empty function
// restores the desktop.
using TShellOpenHook = std::function<bool(const std::string& Address)>;
void SetShellOpenHook(TShellOpenHook Hook);

// The desktop's side of ShellOpen, which each platform's peers give.
bool DesktopOpen(const std::string& Address);
