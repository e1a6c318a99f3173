#pragma once
// Text is UTF-8 inside the program and UTF-16 at the Win32 API.

#include <string>

std::wstring ToWide(const std::string& Text);
std::string FromWide(const std::wstring& Text);
std::string FromWide(const wchar_t* Text);
