#include "support/riffbuilder.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace riffbuilder {

namespace {
constexpr uint16_t PcmTag = 1;
constexpr int BitsPerByte = 8;
} // namespace

std::string Le16(uint16_t Value)
{
    return std::string{static_cast<char>(Value & 0xFF), static_cast<char>(Value >> BitsPerByte)};
}

std::string Le32(uint32_t Value)
{
    return Le16(static_cast<uint16_t>(Value & 0xFFFF)) + Le16(static_cast<uint16_t>(Value >> 16));
}

std::string ChunkDeclaring(const std::string& Id, uint32_t DeclaredSize, const std::string& Data)
{
    return Id.substr(0, 4) + Le32(DeclaredSize) + Data;
}

std::string Chunk(const std::string& Id, const std::string& Data)
{
    std::string bytes = ChunkDeclaring(Id, static_cast<uint32_t>(Data.size()), Data);
    if (Data.size() % 2 != 0)
        bytes += '\0';
    return bytes;
}

std::string Riff(const std::string& FormType, const std::string& Body)
{
    return Chunk("RIFF", FormType + Body);
}

std::string FormatRecord(uint16_t FormatTag, uint16_t Channels, uint32_t SampleRate, uint16_t BitsPerSample)
{
    const uint16_t blockAlign = static_cast<uint16_t>(Channels * BitsPerSample / BitsPerByte);
    return Le16(FormatTag) + Le16(Channels) + Le32(SampleRate) + Le32(SampleRate * blockAlign) +
           Le16(blockAlign) + Le16(BitsPerSample);
}

std::string FmtChunk(uint16_t FormatTag, uint16_t Channels, uint32_t SampleRate, uint16_t BitsPerSample)
{
    return Chunk("fmt ", FormatRecord(FormatTag, Channels, SampleRate, BitsPerSample));
}

std::string Samples(const std::vector<int16_t>& Values)
{
    std::string bytes;
    bytes.reserve(Values.size() * 2);
    for (int16_t v : Values)
        bytes += Le16(static_cast<uint16_t>(v));
    return bytes;
}

std::string WavFile(uint16_t Channels, uint32_t SampleRate, const std::vector<int16_t>& Values)
{
    constexpr uint16_t Bits16 = 16;
    return Riff("WAVE", FmtChunk(PcmTag, Channels, SampleRate, Bits16) + Chunk("data", Samples(Values)));
}

namespace {
// The scratch folder lives as long as the test process.
struct TScratchFolder {
    std::filesystem::path Path = std::filesystem::temp_directory_path() /
                                 ("quimbrel-test-" + std::to_string(getpid()));
    TScratchFolder() { std::filesystem::create_directories(Path); }
    ~TScratchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(Path, ignored);
    }
};
} // namespace

std::string ScratchPath(const std::string& Name)
{
    static TScratchFolder folder;
    return (folder.Path / Name).string();
}

void WriteFile(const std::string& Path, const std::string& Bytes)
{
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + Path);
}

std::string ReadFile(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace riffbuilder
