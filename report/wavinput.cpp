#include "report/wavinput.h"

#include <algorithm>
#include <array>

namespace measure {

namespace {

constexpr size_t SkipChunkBytes = 16384; // read and dropped at a time where a pipe cannot seek

} // namespace

TWavInput::TWavInput(const std::string& FileName, bool StandardInput)
{
    try {
        if (StandardInput)
            FFile.OpenStandardInput();
        else
            FFile.Open(FileName);
    } catch (const EReadOnlyFileError& error) {
        throw EWavFileError(error.Message());
    }
    FSizeKnown = FFile.SizeKnown();
    if (FSizeKnown) {
        FSize = FFile.Size();
        FPosition = FFile.StartOffset();
    }
}

size_t TWavInput::Read(void* Buffer, size_t Bytes)
{
    size_t done = 0;
    try {
        done = FFile.Read(Buffer, Bytes);
    } catch (const EReadOnlyFileError& error) {
        throw EWavFileError(error.Message());
    }
    FPosition += done;
    return done;
}

bool TWavInput::Skip(uint64_t Bytes)
{
    if (FSizeKnown) {
        if (Bytes > FSize - std::min(FPosition, FSize)) {
            FPosition = FSize;
            return false;
        }
        try {
            FFile.Seek(FPosition + Bytes);
        } catch (const EReadOnlyFileError& error) {
            throw EWavFileError(error.Message());
        }
        FPosition += Bytes;
        return true;
    }
    std::array<char, SkipChunkBytes> dropped;
    while (Bytes > 0) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(Bytes, dropped.size()));
        const size_t got = Read(dropped.data(), want);
        Bytes -= got;
        if (got < want)
            return false;
    }
    return true;
}

} // namespace measure
