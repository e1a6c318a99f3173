#pragma once
// The program's string resources: captions compiled in from the build's string
// table description, looked up by id.

#include <string>

// The string with that id; an empty string for an unknown id.
std::string LoadResString(int Id);
