#include "platform/riff/mmio.h"

#include "platform/kernel/fileopen.h"

#include <cstdio>
#include <limits>
#include <sys/stat.h>

struct TMmioFile {
    std::FILE* Stream = nullptr;
};

namespace {

constexpr uint64_t ChunkHeaderBytes = 8; // identifier and size
constexpr uint64_t FormTypeBytes = 4;    // form type of a RIFF or LIST chunk
constexpr uint32_t SupportedOpenFlags = MMIO_READ | MMIO_ALLOCBUF;
constexpr uint64_t NoLimit = std::numeric_limits<uint64_t>::max();

uint32_t ReadLittleEndian32(const unsigned char* Bytes)
{
    return static_cast<uint32_t>(Bytes[0]) | static_cast<uint32_t>(Bytes[1]) << 8 |
           static_cast<uint32_t>(Bytes[2]) << 16 | static_cast<uint32_t>(Bytes[3]) << 24;
}

uint64_t Position(HMMIO File)
{
    const off_t at = ftello(File->Stream);
    return at < 0 ? 0 : static_cast<uint64_t>(at);
}

bool SeekTo(HMMIO File, uint64_t Offset)
{
    if (Offset > static_cast<uint64_t>(std::numeric_limits<off_t>::max()))
        return false;
    return fseeko(File->Stream, static_cast<off_t>(Offset), SEEK_SET) == 0;
}

bool ReadExactly(HMMIO File, unsigned char* Buffer, size_t Size)
{
    return std::fread(Buffer, 1, Size, File->Stream) == Size;
}

bool HasFormType(FOURCC Id)
{
    return Id == mmioStringToFOURCC("RIFF") || Id == mmioStringToFOURCC("LIST");
}

// Reads the chunk header at the current position; the position is then at
// the data, past the form type where there is one.
bool ReadChunkHeader(HMMIO File, MMCKINFO& Chunk)
{
    unsigned char header[ChunkHeaderBytes];
    const uint64_t start = Position(File);
    if (!ReadExactly(File, header, sizeof header))
        return false;
    Chunk.ckid = ReadLittleEndian32(header);
    Chunk.cksize = ReadLittleEndian32(header + FormTypeBytes);
    Chunk.fccType = 0;
    Chunk.dwDataOffset = start + ChunkHeaderBytes;
    Chunk.dwFlags = 0;
    if (HasFormType(Chunk.ckid)) {
        unsigned char form[FormTypeBytes];
        if (!ReadExactly(File, form, sizeof form))
            return false;
        Chunk.fccType = ReadLittleEndian32(form);
    }
    return true;
}

bool Matches(const MMCKINFO& Found, const MMCKINFO& Wanted, uint32_t Flags)
{
    if (Flags & MMIO_FINDRIFF)
        return Found.ckid == mmioStringToFOURCC("RIFF") && Found.fccType == Wanted.fccType;
    if (Flags & MMIO_FINDLIST)
        return Found.ckid == mmioStringToFOURCC("LIST") && Found.fccType == Wanted.fccType;
    return Found.ckid == Wanted.ckid;
}

// The offset just past a chunk: its data rounded up to an even length.
uint64_t ChunkEnd(const MMCKINFO& Chunk)
{
    return Chunk.dwDataOffset + Chunk.cksize + (Chunk.cksize & 1u);
}

} // namespace

HMMIO mmioOpen(const std::string& FileName, uint32_t OpenFlags)
{
    if ((OpenFlags & ~SupportedOpenFlags) != 0)
        return nullptr;
    std::FILE* stream = OpenFileForReading(FileName);
    if (!stream)
        return nullptr;
    struct stat info {};
    if (fstat(fileno(stream), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(stream);
        return nullptr;
    }
    return new TMmioFile{stream};
}

FOURCC mmioStringToFOURCC(const char* Str, uint32_t)
{
    constexpr int CodeChars = 4;
    constexpr int BitsPerChar = 8;
    FOURCC code = 0;
    bool ended = false;
    for (int i = 0; i < CodeChars; ++i) {
        ended = ended || Str[i] == '\0';
        const unsigned char c = ended ? ' ' : static_cast<unsigned char>(Str[i]);
        code |= static_cast<FOURCC>(c) << (BitsPerChar * i);
    }
    return code;
}

uint32_t mmioDescend(HMMIO File, MMCKINFO& Chunk, const MMCKINFO* Parent, uint32_t Flags)
{
    if (!File)
        return MMIOERR_INVALIDHANDLE;
    const uint64_t limit = Parent ? Parent->dwDataOffset + Parent->cksize : NoLimit;
    const bool searching = (Flags & (MMIO_FINDCHUNK | MMIO_FINDRIFF | MMIO_FINDLIST)) != 0;
    for (;;) {
        const uint64_t start = Position(File);
        if (limit != NoLimit && start + ChunkHeaderBytes > limit)
            return MMIOERR_CHUNKNOTFOUND;
        MMCKINFO found;
        if (!ReadChunkHeader(File, found))
            return MMIOERR_CHUNKNOTFOUND;
        if (!searching || Matches(found, Chunk, Flags)) {
            Chunk = found;
            return MMSYSERR_NOERROR;
        }
        if (!SeekTo(File, ChunkEnd(found)))
            return MMIOERR_CHUNKNOTFOUND;
    }
}

int64_t mmioRead(HMMIO File, void* Buffer, int64_t Size)
{
    if (!File || Size < 0)
        return -1;
    return static_cast<int64_t>(std::fread(Buffer, 1, static_cast<size_t>(Size), File->Stream));
}

uint32_t mmioAscend(HMMIO File, const MMCKINFO& Chunk, uint32_t)
{
    if (!File)
        return MMIOERR_INVALIDHANDLE;
    return SeekTo(File, ChunkEnd(Chunk)) ? MMSYSERR_NOERROR : MMIOERR_CANNOTSEEK;
}

uint64_t mmioBytesRemaining(HMMIO File)
{
    if (!File)
        return 0;
    struct stat info {};
    if (fstat(fileno(File->Stream), &info) != 0)
        return 0;
    const uint64_t size = static_cast<uint64_t>(info.st_size);
    const uint64_t at = Position(File);
    return at < size ? size - at : 0;
}

uint32_t mmioClose(HMMIO File, uint32_t)
{
    if (!File)
        return MMIOERR_INVALIDHANDLE;
    std::fclose(File->Stream);
    delete File;
    return MMSYSERR_NOERROR;
}
