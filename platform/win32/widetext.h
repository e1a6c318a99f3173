#pragma once
// Between the program's UTF-8 text and the UTF-16 of Windows' wide calls.

#include <string>

// Text as UTF-16; a byte that is not UTF-8 becomes U+FFFD.
std::wstring WideText(const std::string& Utf8);
// Units UTF-16 units as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8Text(const wchar_t* Text, size_t Units);
// The same, for a whole string, and for a null-terminated one (nullptr reads as empty).
std::string Utf8Text(const std::wstring& Text);
std::string Utf8Text(const wchar_t* Text);
