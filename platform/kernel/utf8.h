#pragma once
// UTF-8 encoding of single code points, for the readers of form descriptions
// and of version blocks.

#include <string>

// Appends Code (at most U+10FFFF) to Out as one to four UTF-8 bytes.
void AppendUtf8(std::string& Out, char32_t Code);
