#pragma once
// The version the tool reports: the program's own version when its version
// resource can be read, the build's version otherwise.

#include <string>

namespace measure {

std::string ToolVersion();

} // namespace measure
