#pragma once
// Caption text as controls show it: accelerator marks and line breaking.

#include <functional>
#include <string>
#include <vector>

// The caption without its accelerator mark: "&&" shows one '&', a single '&'
// (which marks the following character as the accelerator) is not shown.
std::string StripAccelChars(const std::string& Caption);

// Width in pixels of a piece of text in some font.
using TTextMeasure = std::function<int(const std::string& Text)>;

// Breaks Text into lines at blanks so that each line is at most Width pixels
// wide where the words allow it (a word wider than Width stands alone on its
// line). Line feeds always end a line; carriage returns are dropped. Blanks
// at a break are dropped; other blanks are kept.
std::vector<std::string> WrapText(const std::string& Text, int Width, const TTextMeasure& Measure);

// Splits Text at its line feeds only (carriage returns dropped).
std::vector<std::string> SplitLines(const std::string& Text);
