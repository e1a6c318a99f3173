#pragma once
// The shortest decimal text that reads back as the same single-precision value.

#include <string>

std::string ShortestText(float Value);
