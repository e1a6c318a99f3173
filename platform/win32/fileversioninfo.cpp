// The file side of the version service on Windows: the system reads a
// program's version resource (fileversionblock.cpp), and the queries are the
// same as on every platform (platform/verres/winver.cpp), so that every text
// comes out as UTF-8 rather than in the ANSI code page.

#include "platform/verres/ownversion.h"
#include "platform/verres/winver.h"
#include "platform/win32/fileversionblock.h"

uint32_t GetFileVersionInfoSize(const std::string& FileName, uint32_t* Handle)
{
    if (Handle)
        *Handle = 0;
    const std::vector<uint8_t> raw = SystemVersionBlock(FileName);
    return GetVersionInfoSizeFromBlock(raw.data(), static_cast<uint32_t>(raw.size()));
}

bool GetFileVersionInfo(const std::string& FileName, uint32_t /*Handle*/, uint32_t Len, void* Data)
{
    const std::vector<uint8_t> raw = SystemVersionBlock(FileName);
    return GetVersionInfoFromBlock(raw.data(), static_cast<uint32_t>(raw.size()), Len, Data);
}

std::string OwnProgramFile()
{
    return RunningProgramFile();
}
