#include "platform/win32/widetext.h"

#include <windows.h>

std::wstring WideText(const std::string& Utf8)
{
    const int bytes = static_cast<int>(Utf8.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, Utf8.data(), bytes, nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, Utf8.data(), bytes, wide.data(), units);
    return wide;
}

std::string Utf8Text(const wchar_t* Text, size_t Units)
{
    const int count = static_cast<int>(Units);
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, Text, count, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, Text, count, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

std::string Utf8Text(const std::wstring& Text)
{
    return Utf8Text(Text.data(), Text.size());
}

std::string Utf8Text(const wchar_t* Text)
{
    return Text ? Utf8Text(std::wstring(Text)) : std::string();
}
