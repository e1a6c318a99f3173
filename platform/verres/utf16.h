#pragma once
// Conversions between UTF-8 and the 16-bit little-endian text of version blocks.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Converts Units 16-bit little-endian code units starting at Data. A surrogate
// without its partner becomes U+FFFD.
std::string Utf16LeToUtf8(const uint8_t* Data, size_t Units);

// Converts UTF-8 text to 16-bit little-endian code units, without a terminator.
// A malformed byte sequence becomes U+FFFD.
std::vector<uint8_t> Utf8ToUtf16Le(const std::string& Text);
