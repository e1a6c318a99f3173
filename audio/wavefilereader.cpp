#include "audio/wavefilereader.h"

#include <cstring>
#include <new>

namespace {

constexpr uint32_t FormatRecordBytes = 16; // the part of "fmt " that is read
constexpr uint16_t PcmFormatTag = 1;
constexpr uint16_t AcceptedBitsPerSample = 16;
constexpr uint32_t AcceptedSampleRate = 44100; // frames per second
constexpr uint64_t SampleBytes = 2;

uint16_t Le16(const unsigned char* Bytes)
{
    return static_cast<uint16_t>(Bytes[0] | Bytes[1] << 8);
}

uint32_t Le32(const unsigned char* Bytes)
{
    return static_cast<uint32_t>(Le16(Bytes)) | static_cast<uint32_t>(Le16(Bytes + 2)) << 16;
}

} // namespace

TWaveFileReader::TResult TWaveFileReader::Read(const std::string& FileName)
{
    FData.reset();
    FSize = 0;
    HMMIO file = mmioOpen(FileName, MMIO_READ | MMIO_ALLOCBUF);
    if (!file)
        return wrUnreadable;
    const TResult result = ReadFromOpenFile(file);
    mmioClose(file, 0);
    if (result != wrRead) {
        FData.reset();
        FSize = 0;
    }
    return result;
}

TWaveFileReader::TResult TWaveFileReader::ReadFromOpenFile(HMMIO File)
{
    MMCKINFO riff;
    riff.fccType = mmioStringToFOURCC("WAVE", 0);
    if (mmioDescend(File, riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR)
        return wrUnreadable;
    MMCKINFO fmt;
    fmt.ckid = mmioStringToFOURCC("fmt ", 0);
    if (mmioDescend(File, fmt, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return wrUnreadable;
    // A record too short to hold the fields that are checked is not a 16-bit PCM record.
    if (fmt.cksize < FormatRecordBytes)
        return wrWrongFormat;
    TFormat format;
    if (!ReadFormat(File, format))
        return wrUnreadable;
    mmioAscend(File, fmt, 0);
    if (!IsAccepted(format))
        return wrWrongFormat;
    // Searched onwards from "fmt ": a "data" chunk before it is not found.
    MMCKINFO data;
    data.ckid = mmioStringToFOURCC("data", 0);
    if (mmioDescend(File, data, &riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        return wrUnreadable;
    return ReadSamples(File, data.cksize, format.Channels == 1) ? wrRead : wrUnreadable;
}

bool TWaveFileReader::ReadFormat(HMMIO File, TFormat& Format)
{
    unsigned char record[FormatRecordBytes];
    if (mmioRead(File, record, sizeof record) != static_cast<int64_t>(sizeof record))
        return false;
    constexpr int TagOffset = 0, ChannelsOffset = 2, RateOffset = 4, BitsOffset = 14;
    Format.FormatTag = Le16(record + TagOffset);
    Format.Channels = Le16(record + ChannelsOffset);
    Format.SampleRate = Le32(record + RateOffset);
    Format.BitsPerSample = Le16(record + BitsOffset);
    return true;
}

bool TWaveFileReader::IsAccepted(const TFormat& Format) const
{
    return Format.FormatTag == PcmFormatTag && Format.BitsPerSample == AcceptedBitsPerSample &&
           (FIgnoreSampleRate || Format.SampleRate == AcceptedSampleRate);
}

bool TWaveFileReader::ReadSamples(HMMIO File, uint32_t DeclaredBytes, bool Mono)
{
    // The declared size is checked against the file before anything is allocated.
    if (DeclaredBytes > mmioBytesRemaining(File))
        return false;
    const uint64_t allocated = Mono ? SampleBytes * DeclaredBytes : DeclaredBytes;
    FData.reset(new (std::nothrow) char[allocated]);
    if (!FData)
        return false;
    if (mmioRead(File, FData.get(), DeclaredBytes) != static_cast<int64_t>(DeclaredBytes))
        return false;
    FSize = DeclaredBytes;
    if (Mono)
        WidenMono(DeclaredBytes);
    return true;
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
