#pragma once
// Reading RIFF files chunk by chunk, with the calls of the Windows multimedia
// file services: open, descend into a chunk, read, ascend out of it, close.
// Only reading is supported. Declared chunk sizes are not trusted: a chunk may
// claim to run past its parent or the end of the file; reads then simply come
// up short, and mmioBytesRemaining tells how much the file really holds.

#include <cstdint>
#include <string>

using FOURCC = uint32_t;

// What mmioDescend reports about a chunk.
struct MMCKINFO {
    FOURCC ckid = 0;           // chunk identifier
    uint32_t cksize = 0;       // declared size of the data part in bytes (form type included)
    FOURCC fccType = 0;        // form type of a RIFF or LIST chunk, else 0
    uint64_t dwDataOffset = 0; // file offset of the data part, in bytes
    uint32_t dwFlags = 0;      // unused; kept for the record's usual shape
};

struct TMmioFile;
using HMMIO = TMmioFile*;

// Open flags: reading through a read-ahead buffer.
constexpr uint32_t MMIO_READ = 0x00000000;
constexpr uint32_t MMIO_ALLOCBUF = 0x00010000;
// Search flags of mmioDescend.
constexpr uint32_t MMIO_FINDCHUNK = 0x0010; // a chunk with the given ckid
constexpr uint32_t MMIO_FINDRIFF = 0x0020;  // a "RIFF" chunk with the given fccType
constexpr uint32_t MMIO_FINDLIST = 0x0040;  // a "LIST" chunk with the given fccType

// Results; 0 is success.
constexpr uint32_t MMSYSERR_NOERROR = 0;
constexpr uint32_t MMIOERR_CANNOTREAD = 259;
constexpr uint32_t MMIOERR_CANNOTSEEK = 261;
constexpr uint32_t MMIOERR_CHUNKNOTFOUND = 265;
constexpr uint32_t MMIOERR_INVALIDHANDLE = 268;

// Opens a file for reading; nullptr when it cannot be opened or when any flag
// other than MMIO_READ and MMIO_ALLOCBUF is asked for.
HMMIO mmioOpen(const std::string& FileName, uint32_t OpenFlags = MMIO_READ | MMIO_ALLOCBUF);

// The code of four characters; a shorter string is padded with blanks.
// Flags are accepted for the usual shape and ignored.
FOURCC mmioStringToFOURCC(const char* Str, uint32_t Flags = 0);

// Finds a chunk and leaves the position at its data (after the form type of a
// RIFF or LIST chunk). The search starts at the current position and stays
// inside Parent when one is given. Without a search flag the chunk at the
// current position is taken. Skipped chunks count their pad byte.
// Returns 0 when found, MMIOERR_CHUNKNOTFOUND otherwise.
uint32_t mmioDescend(HMMIO File, MMCKINFO& Chunk, const MMCKINFO* Parent, uint32_t Flags);

// Reads up to Size bytes; returns the number read (0 at the end of the file),
// or -1 for a bad handle or a negative size.
int64_t mmioRead(HMMIO File, void* Buffer, int64_t Size);

// Moves past the end of a chunk found by mmioDescend, pad byte included.
uint32_t mmioAscend(HMMIO File, const MMCKINFO& Chunk, uint32_t Flags = 0);

// Bytes between the current position and the end of the file.
uint64_t mmioBytesRemaining(HMMIO File);

uint32_t mmioClose(HMMIO File, uint32_t Flags = 0);
