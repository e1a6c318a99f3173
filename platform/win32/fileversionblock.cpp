#include "platform/win32/fileversionblock.h"

#include "platform/win32/widetext.h"

#include <windows.h>

std::vector<uint8_t> SystemVersionBlock(const std::string& FileName)
{
    // The wide calls, so that a file name outside the ANSI code page is found.
    const std::wstring name = WideText(FileName);
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
            return Utf8Text(name.data(), name.size());
        }
        name.resize(name.size() * 2);
    }
}
