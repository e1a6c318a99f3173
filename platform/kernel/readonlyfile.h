#pragma once
// A file opened for reading only, front to back: the system's side of
// quimbrel-measure's input. A name is opened only when it is a regular file,
// and never in a way that could wait (a FIFO, a device): anything else is
// refused with a message that says what it is. Standard input is read as it
// comes, a pipe or a file redirected to it. Sizes and offsets are 64-bit.
// posix/readonlyfile.cpp and win32/readonlyfile.cpp implement it.

#include "platform/kernel/exception.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A name that cannot be opened or is not a regular file, or a failed read or
// seek. The message says what went wrong and names no file.
class EReadOnlyFileError : public Exception {
public:
    using Exception::Exception;
};

class TReadOnlyFile {
public:
    TReadOnlyFile() = default;
    ~TReadOnlyFile();
    TReadOnlyFile(const TReadOnlyFile&) = delete;
    TReadOnlyFile& operator=(const TReadOnlyFile&) = delete;

    // Opens FileName (UTF-8 on Windows, where the system gets it as UTF-16;
    // the bytes as given elsewhere). Throws EReadOnlyFileError. Call once.
    void Open(const std::string& FileName);
    // Reads standard input instead. Throws EReadOnlyFileError. Call once.
    void OpenStandardInput();

    // Reads up to Bytes bytes, fewer only at the end; throws on a read error.
    size_t Read(void* Buffer, size_t Bytes);
    // Moves to Offset bytes from the file's start; only when SizeKnown.
    void Seek(uint64_t Offset);

    // Whether the length is known (a regular file, even on standard input),
    // which also means that it can seek.
    bool SizeKnown() const { return FSizeKnown; }
    // The length in bytes, when SizeKnown.
    uint64_t Size() const { return FSize; }
    // Where reading starts, in bytes from the file's start: 0 for a name,
    // where standard input's file was left for standard input.
    uint64_t StartOffset() const { return FStart; }

private:
    std::intptr_t FHandle = -1; // the system's handle (a descriptor, or a HANDLE's value); -1 while none
    bool FOwned = false;        // closed on destruction: not standard input
    bool FSizeKnown = false;    // a regular file: its length is known and it can seek
    uint64_t FSize = 0;         // its length in bytes, when known
    uint64_t FStart = 0;        // the offset at open, when known
};
