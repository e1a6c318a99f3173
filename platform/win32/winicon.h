#pragma once
// Window icons from the embedded icon images.

#include "platform/win32/winapi.h"

#include <string>

// An icon of the embedded image icons/<Name>.png, its transparency kept;
// nullptr when there is none. The caller destroys it.
HICON CreateIconFromResourceImage(const std::string& Name);
