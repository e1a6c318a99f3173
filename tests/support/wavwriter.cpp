#include "support/wavwriter.h"

#include <fstream>
#include <stdexcept>

namespace {

constexpr size_t FourCCSize = 4;

void PutLittleEndian(std::vector<uint8_t>& Out, uint32_t Value, int Bytes)
{
    for (int i = 0; i < Bytes; ++i)
        Out.push_back(static_cast<uint8_t>(Value >> (8 * i)));
}

} // namespace

std::vector<uint8_t> RiffChunk(const std::string& Id, const std::vector<uint8_t>& Data)
{
    if (Id.size() != FourCCSize)
        throw std::invalid_argument("a chunk identifier has four characters");
    std::vector<uint8_t> out(Id.begin(), Id.end());
    PutLittleEndian(out, static_cast<uint32_t>(Data.size()), 4);
    out.insert(out.end(), Data.begin(), Data.end());
    if (Data.size() % 2 != 0)
        out.push_back(0);
    return out;
}

std::vector<uint8_t> WavFormatRecord(const TWavFormat& Format)
{
    const uint32_t blockAlign = Format.Channels * ((Format.BitsPerSample + 7u) / 8u);
    std::vector<uint8_t> out;
    PutLittleEndian(out, Format.FormatTag, 2);
    PutLittleEndian(out, Format.Channels, 2);
    PutLittleEndian(out, Format.SampleRate, 4);
    PutLittleEndian(out, Format.SampleRate * blockAlign, 4);
    PutLittleEndian(out, blockAlign, 2);
    PutLittleEndian(out, Format.BitsPerSample, 2);
    return out;
}

std::vector<uint8_t> SampleBytes(const std::vector<int16_t>& Samples)
{
    std::vector<uint8_t> out;
    out.reserve(Samples.size() * 2);
    for (int16_t s : Samples)
        PutLittleEndian(out, static_cast<uint16_t>(s), 2);
    return out;
}

std::vector<uint8_t> WaveFile(const std::vector<std::vector<uint8_t>>& Chunks)
{
    std::vector<uint8_t> form{'W', 'A', 'V', 'E'};
    for (const auto& chunk : Chunks)
        form.insert(form.end(), chunk.begin(), chunk.end());
    return RiffChunk("RIFF", form);
}

std::vector<uint8_t> WavFileBytes(const std::vector<int16_t>& Samples, const TWavFormat& Format)
{
    return WaveFile({RiffChunk("fmt ", WavFormatRecord(Format)), RiffChunk("data", SampleBytes(Samples))});
}

void WriteFileBytes(const std::string& Path, const std::vector<uint8_t>& Bytes)
{
    std::ofstream file(Path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    if (!file)
        throw std::runtime_error("cannot write " + Path);
}

void WriteWavFile(const std::string& Path, const std::vector<int16_t>& Samples, const TWavFormat& Format)
{
    WriteFileBytes(Path, WavFileBytes(Samples, Format));
}
