#include "platform/win32/fileversionblock.h"

#include <windows.h>

namespace {

std::wstring Wide(const std::string& Text)
{
    const int units = MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), wide.data(), units);
    return wide;
}

std::string Utf8(const std::wstring& Text)
{
    const int bytes =
        WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, Text.data(), static_cast<int>(Text.size()), utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

} // namespace

std::vector<uint8_t> SystemVersionBlock(const std::string& FileName)
{
    // The wide calls, so that a file name outside the ANSI code page is found.
    const std::wstring name = Wide(FileName);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(name.c_str(), &handle);
    if (size == 0)
        return {};
    std::vector<uint8_t> block(size);
    if (!GetFileVersionInfoW(name.c_str(), 0, size, block.data()))
        return {};
    return block;
}

std::string RunningProgramFile()
{
    // Long paths: grow the buffer until the name fits.
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return std::string();
        if (length < name.size()) {
            name.resize(length);
            return Utf8(name);
        }
        name.resize(name.size() * 2);
    }
}
