#include "platform/verres/ownversion.h"

#include "platform/verres/winver.h"

#include <cstdio>
#include <vector>

std::string OwnFileVersion()
{
    const std::string self = OwnProgramFile();
    uint32_t handle = 0;
    const uint32_t size = GetFileVersionInfoSize(self, &handle);
    if (size == 0)
        return std::string();
    std::vector<uint32_t> block((size + sizeof(uint32_t) - 1) / sizeof(uint32_t)); // 4-byte aligned
    if (!GetFileVersionInfo(self, handle, size, block.data()))
        return std::string();
    void* value = nullptr;
    uint32_t length = 0;
    if (!VerQueryValue(block.data(), "\\VarFileInfo\\Translation", &value, &length) || length < 2 * sizeof(uint16_t))
        return std::string();
    const auto* translation = static_cast<const uint16_t*>(value); // language, then code page
    char path[64];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\%04X%04X\\FileVersion", translation[0], translation[1]);
    if (!VerQueryValue(block.data(), path, &value, &length) || length <= 1)
        return std::string();
    return static_cast<const char*>(value);
}

