#pragma once
// A temporary file that a fuzz target rewrites with every input; its folder
// is removed when the process ends.

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzscratch {

// Writes Size bytes to the process's scratch file and returns its path.
const std::string& WriteInput(const uint8_t* Data, size_t Size);

} // namespace fuzzscratch
