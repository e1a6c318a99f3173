#include "report/wavinput.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace measure {

namespace {

constexpr size_t SkipChunkBytes = 16384; // read and dropped at a time where a pipe cannot seek

// What a file of this kind is, for a refusal; empty for a regular file.
std::string NotRegular(mode_t Mode)
{
    if (S_ISREG(Mode))
        return {};
    if (S_ISDIR(Mode))
        return "is a directory";
    if (S_ISFIFO(Mode))
        return "a FIFO (named pipe), not a regular file: to read a pipe, give - and send it to standard input";
    if (S_ISCHR(Mode))
        return "a character device, not a regular file";
    if (S_ISBLK(Mode))
        return "a block device, not a regular file";
    if (S_ISSOCK(Mode))
        return "a socket, not a regular file";
    return "not a regular file";
}

std::string OpenFailure(int Error)
{
    return Error == ENOENT ? std::string("no such file") : std::string(std::strerror(Error));
}

} // namespace

TWavInput::TWavInput(const std::string& FileName, bool StandardInput)
{
    struct stat64 info {};
    if (StandardInput) {
        FHandle = STDIN_FILENO;
        if (fstat64(FHandle, &info) != 0)
            throw EWavFileError(std::strerror(errno));
    } else {
        // Looked at before the open, which a FIFO or a device would block or act on.
        if (stat64(FileName.c_str(), &info) != 0)
            throw EWavFileError(OpenFailure(errno));
        if (const std::string what = NotRegular(info.st_mode); !what.empty())
            throw EWavFileError(what);
        // Non-blocking, should the name have been swapped for a FIFO meanwhile.
        FHandle = open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | O_LARGEFILE);
        if (FHandle < 0)
            throw EWavFileError(OpenFailure(errno));
        FOwned = true;
        if (fstat64(FHandle, &info) != 0 || !S_ISREG(info.st_mode)) {
            const std::string what = NotRegular(info.st_mode);
            close(FHandle);
            throw EWavFileError(what.empty() ? std::string(std::strerror(errno)) : what);
        }
    }
    FSizeKnown = S_ISREG(info.st_mode);
    if (FSizeKnown) {
        FSize = static_cast<uint64_t>(info.st_size);
        const off64_t at = lseek64(FHandle, 0, SEEK_CUR);
        FPosition = at > 0 ? static_cast<uint64_t>(at) : 0;
    }
}

TWavInput::~TWavInput()
{
    if (FOwned)
        close(FHandle);
}

size_t TWavInput::Read(void* Buffer, size_t Bytes)
{
    auto* target = static_cast<char*>(Buffer);
    size_t done = 0;
    while (done < Bytes) {
        const ssize_t got = read(FHandle, target + done, Bytes - done);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw EWavFileError(std::string("cannot read: ") + std::strerror(errno));
        }
        done += static_cast<size_t>(got);
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
        if (lseek64(FHandle, static_cast<off64_t>(FPosition + Bytes), SEEK_SET) < 0)
            throw EWavFileError(std::string("cannot seek: ") + std::strerror(errno));
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
