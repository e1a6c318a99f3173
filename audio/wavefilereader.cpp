#include "audio/wavefilereader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr uint64_t SampleBytes = 2;
constexpr uint64_t StereoFrameBytes = 2 * SampleBytes;

} // namespace

TWaveFileCheck TWaveFileReader::Read(const std::string& FileName)
{
    FData.reset();
    FDataBytes = 0;
    const TWaveFileChunks chunks(FileName, FIgnoreSampleRate);
    if (chunks.Check() != wcAccepted)
        return chunks.Check();
    FFormat = chunks.Format();
    FMono = FFormat.Channels == 1;
    const TWaveFileCheck read = ReadSamples(chunks.File(), chunks.DataChunk().cksize);
    if (read != wcAccepted) {
        FData.reset();
        FDataBytes = 0;
    }
    return read;
}

TWaveFileCheck TWaveFileReader::ReadSamples(HMMIO File, uint32_t DeclaredBytes)
{
    FData.reset(new (std::nothrow) char[DeclaredBytes]);
    if (!FData)
        return wcTooLarge;
    // The file was checked to hold them; it may have shrunk since.
    if (mmioRead(File, FData.get(), DeclaredBytes) != static_cast<int64_t>(DeclaredBytes))
        return wcDataCutShort;
    FDataBytes = DeclaredBytes;
    return wcAccepted;
}

char* TWaveFileReader::Block(uint64_t Offset, uint64_t Bytes)
{
    if (!FMono)
        return FData.get() + Offset;
    if (Bytes > FBlockBytes) {
        FBlock = std::make_unique<char[]>(Bytes);
        FBlockBytes = Bytes;
    }
    // Each mono sample becomes the left and right sample of its frame; the
    // bytes past the last whole sample are cleared.
    const uint64_t first = Offset / StereoFrameBytes;
    const uint64_t samples = std::min(Bytes / StereoFrameBytes, FDataBytes / SampleBytes - first);
    char* target = FBlock.get();
    for (uint64_t i = 0; i < samples; ++i) {
        const char* sample = FData.get() + SampleBytes * (first + i);
        std::memcpy(target + StereoFrameBytes * i, sample, SampleBytes);
        std::memcpy(target + StereoFrameBytes * i + SampleBytes, sample, SampleBytes);
    }
    std::memset(target + StereoFrameBytes * samples, 0, Bytes - StereoFrameBytes * samples);
    return target;
}
