#include "versinfo/fixedfileversioninfo.h"

uint32_t TFixedFileVersionInfo::FileVersionMS() const
{
    return FFixedRecord ? FFixedRecord->dwFileVersionMS : 0;
}

uint32_t TFixedFileVersionInfo::FileVersionLS() const
{
    return FFixedRecord ? FFixedRecord->dwFileVersionLS : 0;
}

uint32_t TFixedFileVersionInfo::ProductVersionMS() const
{
    return FFixedRecord ? FFixedRecord->dwProductVersionMS : 0;
}

uint32_t TFixedFileVersionInfo::ProductVersionLS() const
{
    return FFixedRecord ? FFixedRecord->dwProductVersionLS : 0;
}

TBuildFlags TFixedFileVersionInfo::GetFlags() const
{
    TBuildFlags flags;
    if (!FFixedRecord)
        return flags;
    for (int f = 0; f < BuildFlagCount; ++f)
        if ((FFixedRecord->dwFileFlags & BuildFlagBits[static_cast<size_t>(f)]) != 0)
            flags.Include(static_cast<TBuildFlag>(f));
    return flags;
}
