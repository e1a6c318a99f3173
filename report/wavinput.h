#pragma once
// The bytes of a WAV recording for quimbrel-measure: a regular file, or
// standard input (a pipe, or a file redirected to it). Read front to back;
// a skip seeks when it can and reads past the bytes when it cannot, so a
// pipe is read in constant memory. Nothing that would block on open (a FIFO,
// a device) is opened: it is refused with a message that says what it is.

#include "platform/kernel/exception.h"
#include "platform/kernel/readonlyfile.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace measure {

// A file that cannot be opened or read, is not a WAV file of the accepted
// kind, or shrinks while it is read. The message names no file.
class EWavFileError : public Exception {
public:
    using Exception::Exception;
};

class TWavInput {
public:
    // Opens FileName, which must be a regular file; with StandardInput, reads
    // standard input instead (FileName is then only a name). Throws EWavFileError.
    TWavInput(const std::string& FileName, bool StandardInput);
    TWavInput(const TWavInput&) = delete;
    TWavInput& operator=(const TWavInput&) = delete;

    // Reads up to Bytes bytes, fewer only at the end of the input; throws on a read error.
    size_t Read(void* Buffer, size_t Bytes);
    // Moves Bytes ahead; false when the input ends first.
    bool Skip(uint64_t Bytes);

    // Bytes consumed from the start.
    uint64_t Position() const { return FPosition; }
    // Whether the input's length is known (a regular file, even on standard input).
    bool SizeKnown() const { return FSizeKnown; }
    // The length in bytes, when SizeKnown.
    uint64_t Size() const { return FSize; }

private:
    TReadOnlyFile FFile;      // the system's file or standard input
    bool FSizeKnown = false;  // a regular file: its length is known and it can seek
    uint64_t FSize = 0;       // its length in bytes, when known
    uint64_t FPosition = 0;   // bytes consumed so far
};

} // namespace measure
