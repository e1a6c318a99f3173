#include "audio/wavefilereader.h"

#include <cstring>
#include <new>

namespace {

constexpr uint64_t SampleBytes = 2;

} // namespace

TWaveFileCheck TWaveFileReader::Read(const std::string& FileName)
{
    FData.reset();
    FSize = 0;
    const TWaveFileChunks chunks(FileName, FIgnoreSampleRate);
    if (chunks.Check() != wcAccepted)
        return chunks.Check();
    const TWaveFileCheck read = ReadSamples(chunks.File(), chunks.DataChunk().cksize, chunks.Format().Channels == 1);
    if (read != wcAccepted) {
        FData.reset();
        FSize = 0;
    }
    return read;
}

TWaveFileCheck TWaveFileReader::ReadSamples(HMMIO File, uint32_t DeclaredBytes, bool Mono)
{
    const uint64_t allocated = Mono ? SampleBytes * DeclaredBytes : DeclaredBytes;
    FData.reset(new (std::nothrow) char[allocated]);
    if (!FData)
        return wcTooLarge;
    // The file was checked to hold them; it may have shrunk since.
    if (mmioRead(File, FData.get(), DeclaredBytes) != static_cast<int64_t>(DeclaredBytes))
        return wcDataCutShort;
    FSize = DeclaredBytes;
    if (Mono)
        WidenMono(DeclaredBytes);
    return wcAccepted;
}

void TWaveFileReader::WidenMono(uint64_t MonoBytes)
{
    // Downwards, each sample is copied to the left and right of its frame
    // before any write reaches a sample not yet moved.
    char* bytes = FData.get();
    const uint64_t samples = MonoBytes / SampleBytes;
    for (uint64_t i = samples; i-- > 0;) {
        char sample[SampleBytes];
        std::memcpy(sample, bytes + SampleBytes * i, SampleBytes);
        std::memcpy(bytes + 2 * SampleBytes * i, sample, SampleBytes);
        std::memcpy(bytes + 2 * SampleBytes * i + SampleBytes, sample, SampleBytes);
    }
    FSize = 2 * MonoBytes;
    // An odd last byte has no sample; the bytes after the widened frames are cleared.
    const uint64_t widened = 2 * SampleBytes * samples;
    std::memset(bytes + widened, 0, FSize - widened);
}
