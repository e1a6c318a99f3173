#include "platform/kernel/fileopen.h"

std::FILE* OpenFileForReading(const std::string& FileName)
{
    return std::fopen(FileName.c_str(), "rb");
}
