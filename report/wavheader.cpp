#include "report/wavheader.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace measure {

namespace {

constexpr size_t RiffHeaderBytes = 12;
constexpr size_t ChunkHeaderBytes = 8;
constexpr size_t Ds64Bytes = 16; // RIFF size and data size, 64 bits each; the rest is not needed
constexpr uint32_t Rf64Placeholder = 0xFFFFFFFF;
// Sizes that recorders write when they cannot go back to write the real one:
// streaming or killed recorders (0, 0xFFFFFFFF), arecord (0x80000000, and
// 0x7FFFFFFF in older versions), sox and espeak-ng (0x7FFFF000).
constexpr std::array<uint32_t, 5> PlaceholderSizes{0, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x7FFFF000};

// The start of a Wave64 file: "riff" and the rest of its GUID's first bytes.
constexpr std::array<uint8_t, 8> Wave64Start{'r', 'i', 'f', 'f', 0x2E, 0x91, 0xCF, 0x11};

struct TForeignStart {
    const char* Start; // the file's first bytes
    const char* What;  // what such a file is
};

constexpr TForeignStart ForeignStarts[] = {
    {"RIFX", "a big-endian RIFX WAV file, which is not read; convert it with sox or ffmpeg"},
    {"FORM", "an AIFF file, not WAV; convert it with sox or ffmpeg"},
    {"fLaC", "a FLAC file, not WAV; convert it with sox or ffmpeg"},
    {"OggS", "an Ogg file, not WAV; convert it with sox or ffmpeg"},
    {"ID3", "an MP3 file, not WAV; convert it with sox or ffmpeg"},
    {".snd", "a Sun/NeXT .au file, not WAV; convert it with sox or ffmpeg"},
};

uint64_t LittleEndian64(const uint8_t* At)
{
    return static_cast<uint64_t>(LittleEndian32(At)) | static_cast<uint64_t>(LittleEndian32(At + 4)) << 32;
}

bool IsPlaceholder(uint64_t Size)
{
    return std::find(PlaceholderSizes.begin(), PlaceholderSizes.end(), Size) != PlaceholderSizes.end();
}

bool IdIs(const uint8_t* At, const char* Id)
{
    return std::memcmp(At, Id, std::strlen(Id)) == 0;
}

// Checks the 12-byte header read into Header (Got bytes of it); returns
// whether the file is RF64.
bool CheckRiffHeader(const uint8_t* Header, size_t Got)
{
    if (Got == 0)
        throw EWavFileError("not a WAV file (the file is empty)");
    if (Got >= Wave64Start.size() && std::equal(Wave64Start.begin(), Wave64Start.end(), Header))
        throw EWavFileError("Wave64 files are not read; convert with sox or ffmpeg");
    for (const TForeignStart& foreign : ForeignStarts)
        if (Got >= std::strlen(foreign.Start) && IdIs(Header, foreign.Start))
            throw EWavFileError(foreign.What);
    const bool rf64 = Got >= 4 && (IdIs(Header, "RF64") || IdIs(Header, "BW64"));
    if (Got >= 4 && (rf64 || IdIs(Header, "RIFF")) && Got < RiffHeaderBytes)
        throw EWavFileError(std::string("cut short before its \"fmt \" chunk: ") + ShorterThanABlock);
    if (Got < RiffHeaderBytes || !(rf64 || IdIs(Header, "RIFF")) || !IdIs(Header + 8, "WAVE"))
        throw EWavFileError("not a WAV file (no RIFF chunk of form \"WAVE\")");
    return rf64;
}

// The walk's state between chunks.
struct TWalk {
    bool Rf64 = false;
    bool FormatFound = false;
    uint64_t Riff64 = 0; // the ds64 chunk's sizes; 0 until it is read
    uint64_t Data64 = 0;
};

// Where the walk ran out of file, said as a refusal; MidHeader: the file was
// cut there, rather than ending where its RIFF chunk does.
[[noreturn]] void EndedBefore(const TWalk& Walk, bool MidHeader)
{
    if (!Walk.FormatFound)
        throw EWavFileError(MidHeader ? std::string("cut short before its \"fmt \" chunk: ") + ShorterThanABlock
                                      : std::string("no \"fmt \" chunk"));
    throw EWavFileError(MidHeader ? std::string("cut short before its \"data\" chunk: ") + ShorterThanABlock
                                  : std::string("no \"data\" chunk after the \"fmt \" chunk"));
}

// Reads the chunk's first bytes into Buffer (at most its size), skips the rest and the pad byte.
size_t ReadChunk(TWavInput& Input, uint32_t Size, uint8_t* Buffer, size_t BufferBytes, const TWalk& Walk)
{
    const size_t want = std::min<size_t>(Size, BufferBytes);
    const size_t got = Input.Read(Buffer, want);
    if (got < want || !Input.Skip(static_cast<uint64_t>(Size) - want + (Size & 1u)))
        EndedBefore(Walk, true);
    return got;
}

// The data chunk's sizes, with the input standing at its first sample: the
// declared ones, or placeholders; and where the RIFF chunk says it ends.
void SetSizes(TWavLayout& Layout, const TWalk& Walk, uint32_t RiffSize, uint32_t DataSize, const TWavInput& Input)
{
    Layout.DataStart = Input.Position();
    const bool useDs64 = Walk.Rf64 && DataSize == Rf64Placeholder;
    Layout.DeclaredDataBytes = useDs64 ? Walk.Data64 : DataSize;
    Layout.SizeUnknown = useDs64 ? (Walk.Data64 == 0 || Walk.Data64 == UINT64_MAX) : IsPlaceholder(DataSize);
    // A real empty data chunk, in a file whose RIFF size holds it exactly.
    if (DataSize == 0 && !Walk.Rf64 && Input.SizeKnown() && RiffSize != 0 &&
        uint64_t{RiffSize} + ChunkHeaderBytes == Input.Size())
        Layout.SizeUnknown = false;
    const uint64_t riff = Walk.Rf64 && RiffSize == Rf64Placeholder ? Walk.Riff64 : RiffSize;
    // sox and arecord write the placeholder plus the header's bytes as the RIFF size.
    const bool riffPlaceholder = IsPlaceholder(riff) || IsPlaceholder(riff - (Layout.DataStart - ChunkHeaderBytes));
    Layout.RiffEnd = riffPlaceholder || riff == UINT64_MAX ? 0 : riff + ChunkHeaderBytes;
}

} // namespace

TWavLayout ReadWavHeader(TWavInput& Input)
{
    std::array<uint8_t, RiffHeaderBytes> header{};
    TWalk walk;
    walk.Rf64 = CheckRiffHeader(header.data(), Input.Read(header.data(), header.size()));
    const uint32_t riffSize = LittleEndian32(header.data() + 4);
    TWavLayout layout;
    for (;;) {
        std::array<uint8_t, ChunkHeaderBytes> chunk{};
        const size_t got = Input.Read(chunk.data(), chunk.size());
        if (got < chunk.size())
            EndedBefore(walk, got > 0 || Input.Position() < static_cast<uint64_t>(riffSize) + ChunkHeaderBytes);
        const uint32_t size = LittleEndian32(chunk.data() + 4);
        if (IdIs(chunk.data(), "data")) {
            if (!walk.FormatFound)
                throw EWavFileError("no \"fmt \" chunk before the \"data\" chunk");
            SetSizes(layout, walk, riffSize, size, Input);
            return layout;
        }
        if (IdIs(chunk.data(), "fmt ")) {
            std::array<uint8_t, FormatRecordMaxBytes> record{};
            layout.Format = PcmFormatOf(record.data(), ReadChunk(Input, size, record.data(), record.size(), walk));
            walk.FormatFound = true;
        } else if (walk.Rf64 && IdIs(chunk.data(), "ds64")) {
            std::array<uint8_t, Ds64Bytes> sizes{};
            if (ReadChunk(Input, size, sizes.data(), sizes.size(), walk) == sizes.size()) {
                walk.Riff64 = LittleEndian64(sizes.data());
                walk.Data64 = LittleEndian64(sizes.data() + 8);
            }
        } else if (!Input.Skip(static_cast<uint64_t>(size) + (size & 1u))) {
            EndedBefore(walk, true);
        }
    }
}

std::string RiffSizeNote(const TWavLayout& Layout, const TWavInput& Input)
{
    if (Layout.RiffEnd == 0)
        return {};
    const uint64_t riffSize = Layout.RiffEnd - ChunkHeaderBytes;
    const std::string said = "the RIFF size (" + std::to_string(riffSize) + " bytes) ";
    // Samples of unknown size are not held against it; their header is.
    const uint64_t chunksEnd = Layout.DataStart + (Layout.SizeUnknown ? 0 : Layout.DeclaredDataBytes);
    if (Layout.RiffEnd < chunksEnd)
        return said + "ends before the chunks in it: read to the end of the file";
    if (!Layout.SizeUnknown && Input.SizeKnown() && Layout.RiffEnd > Input.Size() && chunksEnd <= Input.Size())
        return said + "is larger than the file (" + std::to_string(Input.Size()) + " bytes): read to the end of the file";
    return {};
}

} // namespace measure
