#include "platform/kernel/readonlyfile.h"

#include "platform/win32/systemmessage.h"
#include "platform/win32/widetext.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace {

constexpr DWORD LargestRead = 1u << 30; // bytes asked of one ReadFile, which counts in 32 bits

HANDLE HandleOf(std::intptr_t Handle)
{
    return reinterpret_cast<HANDLE>(Handle);
}

// The system's words for Error, or its number where it has none.
std::string ErrorWords(DWORD Error)
{
    const std::string message = SystemMessage(Error);
    return message.empty() ? "system error " + std::to_string(Error) : message;
}

std::string OpenFailure(DWORD Error)
{
    const bool missing = Error == ERROR_FILE_NOT_FOUND || Error == ERROR_PATH_NOT_FOUND;
    return missing ? std::string("no such file") : ErrorWords(Error);
}

// What a handle of this type is, for a refusal; empty for a disk file.
std::string NotDiskFile(DWORD Type)
{
    if (Type == FILE_TYPE_DISK)
        return {};
    if (Type == FILE_TYPE_PIPE)
        return "a FIFO (named pipe), not a regular file: to read a pipe, give - and send it to standard input";
    if (Type == FILE_TYPE_CHAR)
        return "a character device, not a regular file";
    return "not a regular file";
}

// The refusal for an open handle that is not a regular file; empty for one.
std::string NotRegular(HANDLE Handle, uint64_t& Size)
{
    if (std::string what = NotDiskFile(GetFileType(Handle)); !what.empty())
        return what;
    BY_HANDLE_FILE_INFORMATION info {};
    if (!GetFileInformationByHandle(Handle, &info))
        return ErrorWords(GetLastError());
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return "is a directory";
    Size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return {};
}

} // namespace

TReadOnlyFile::~TReadOnlyFile()
{
    if (FOwned)
        CloseHandle(HandleOf(FHandle));
}

void TReadOnlyFile::OpenStandardInput()
{
    // Bytes as they come: no text mode's line ends or end-of-file mark.
    _setmode(_fileno(stdin), _O_BINARY);
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == INVALID_HANDLE_VALUE || input == nullptr)
        throw EReadOnlyFileError("no standard input");
    FHandle = reinterpret_cast<std::intptr_t>(input);
    LARGE_INTEGER size {};
    LARGE_INTEGER at {};
    FSizeKnown = GetFileType(input) == FILE_TYPE_DISK && GetFileSizeEx(input, &size) &&
                 SetFilePointerEx(input, LARGE_INTEGER {}, &at, FILE_CURRENT);
    if (FSizeKnown) {
        FSize = static_cast<uint64_t>(size.QuadPart);
        FStart = static_cast<uint64_t>(std::max<LONGLONG>(at.QuadPart, 0));
    }
}

void TReadOnlyFile::Open(const std::string& FileName)
{
    // Backup semantics let a folder open, so that it is refused for what it
    // is; opening never waits, and a named pipe or device is refused by type.
    const HANDLE handle = CreateFileW(WideText(FileName).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN,
                                      nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw EReadOnlyFileError(OpenFailure(GetLastError()));
    uint64_t size = 0;
    if (const std::string what = NotRegular(handle, size); !what.empty()) {
        CloseHandle(handle);
        throw EReadOnlyFileError(what);
    }
    FHandle = reinterpret_cast<std::intptr_t>(handle);
    FOwned = true;
    FSizeKnown = true;
    FSize = size;
}

size_t TReadOnlyFile::Read(void* Buffer, size_t Bytes)
{
    auto* target = static_cast<char*>(Buffer);
    size_t done = 0;
    while (done < Bytes) {
        const DWORD want = static_cast<DWORD>(std::min<size_t>(Bytes - done, LargestRead));
        DWORD got = 0;
        if (!ReadFile(HandleOf(FHandle), target + done, want, &got, nullptr)) {
            const DWORD error = GetLastError();
            // The writer of a pipe has gone: the end of the input.
            if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF)
                break;
            throw EReadOnlyFileError("cannot read: " + ErrorWords(error));
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

void TReadOnlyFile::Seek(uint64_t Offset)
{
    LARGE_INTEGER to {};
    to.QuadPart = static_cast<LONGLONG>(Offset);
    if (!SetFilePointerEx(HandleOf(FHandle), to, nullptr, FILE_BEGIN))
        throw EReadOnlyFileError("cannot seek: " + ErrorWords(GetLastError()));
}
