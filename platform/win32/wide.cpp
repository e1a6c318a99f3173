#include "platform/win32/wide.h"

#include <windows.h>

std::wstring ToWide(const std::string& Text)
{
    if (Text.empty())
        return std::wstring();
    const int size = static_cast<int>(Text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, Text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, Text.data(), size, wide.data(), length);
    return wide;
}

std::string FromWide(const std::wstring& Text)
{
    if (Text.empty())
        return std::string();
    const int size = static_cast<int>(Text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, Text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, Text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

std::string FromWide(const wchar_t* Text)
{
    return Text ? FromWide(std::wstring(Text)) : std::string();
}
