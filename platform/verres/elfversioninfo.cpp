// The file side of the version service on ELF systems: a program's version
// block is the contents of its section VersionInfoSectionName.

#include "platform/verres/elfsection.h"
#include "platform/verres/ownversion.h"
#include "platform/verres/winver.h"

#include <vector>

namespace {

// The file's raw block; empty when it has none.
std::vector<uint8_t> RawBlock(const std::string& FileName)
{
    std::vector<uint8_t> raw;
    TElfSectionReader reader(FileName);
    if (!reader.Read(VersionInfoSectionName, raw))
        raw.clear();
    return raw;
}

} // namespace

uint32_t GetFileVersionInfoSize(const std::string& FileName, uint32_t* Handle)
{
    if (Handle)
        *Handle = 0;
    const std::vector<uint8_t> raw = RawBlock(FileName);
    return GetVersionInfoSizeFromBlock(raw.data(), static_cast<uint32_t>(raw.size()));
}

bool GetFileVersionInfo(const std::string& FileName, uint32_t /*Handle*/, uint32_t Len, void* Data)
{
    const std::vector<uint8_t> raw = RawBlock(FileName);
    return GetVersionInfoFromBlock(raw.data(), static_cast<uint32_t>(raw.size()), Len, Data);
}

std::string OwnProgramFile()
{
    return "/proc/self/exe";
}
