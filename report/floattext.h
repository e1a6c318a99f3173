#pragma once
// The shortest decimal text that reads back as the same single-precision value.

#include <string>

namespace measure {

std::string ShortestText(float Value);

} // namespace measure
