#include "platform/kernel/readonlyfile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

TReadOnlyFile::~TReadOnlyFile()
{
    if (FOwned)
        close(static_cast<int>(FHandle));
}

void TReadOnlyFile::OpenStandardInput()
{
    struct stat64 info {};
    if (fstat64(STDIN_FILENO, &info) != 0)
        throw EReadOnlyFileError(std::strerror(errno));
    FHandle = STDIN_FILENO;
    FSizeKnown = S_ISREG(info.st_mode);
    if (FSizeKnown) {
        FSize = static_cast<uint64_t>(info.st_size);
        const off64_t at = lseek64(STDIN_FILENO, 0, SEEK_CUR);
        FStart = at > 0 ? static_cast<uint64_t>(at) : 0;
    }
}

void TReadOnlyFile::Open(const std::string& FileName)
{
    struct stat64 info {};
    // Looked at before the open, which a FIFO or a device would block or act on.
    if (stat64(FileName.c_str(), &info) != 0)
        throw EReadOnlyFileError(OpenFailure(errno));
    if (const std::string what = NotRegular(info.st_mode); !what.empty())
        throw EReadOnlyFileError(what);
    // Non-blocking, should the name have been swapped for a FIFO meanwhile.
    const int handle = open(FileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY | O_LARGEFILE);
    if (handle < 0)
        throw EReadOnlyFileError(OpenFailure(errno));
    if (fstat64(handle, &info) != 0 || !S_ISREG(info.st_mode)) {
        const std::string what = NotRegular(info.st_mode);
        const std::string failure = what.empty() ? std::string(std::strerror(errno)) : what;
        close(handle);
        throw EReadOnlyFileError(failure);
    }
    FHandle = handle;
    FOwned = true;
    FSizeKnown = true;
    FSize = static_cast<uint64_t>(info.st_size);
}

size_t TReadOnlyFile::Read(void* Buffer, size_t Bytes)
{
    auto* target = static_cast<char*>(Buffer);
    size_t done = 0;
    while (done < Bytes) {
        const ssize_t got = read(static_cast<int>(FHandle), target + done, Bytes - done);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw EReadOnlyFileError(std::string("cannot read: ") + std::strerror(errno));
        }
        done += static_cast<size_t>(got);
    }
    return done;
}

void TReadOnlyFile::Seek(uint64_t Offset)
{
    if (lseek64(static_cast<int>(FHandle), static_cast<off64_t>(Offset), SEEK_SET) < 0)
        throw EReadOnlyFileError(std::string("cannot seek: ") + std::strerror(errno));
}
