#include "platform/kernel/fileopen.h"

#include "platform/win32/widetext.h"

std::FILE* OpenFileForReading(const std::string& FileName)
{
    return _wfopen(WideText(FileName).c_str(), L"rb");
}
