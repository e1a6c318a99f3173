#include "audio/wavefilechunks.h"

#include <cerrno>

namespace {

constexpr uint32_t FormatRecordBytes = 16; // the PCM fields: tag, channels, rate, byte rate, align, bits
// Byte offsets of the fields read from the format record.
constexpr int FormatTagAt = 0;      // 16-bit
constexpr int ChannelsAt = 2;       // 16-bit
constexpr int SampleRateAt = 4;     // 32-bit
constexpr int BitsPerSampleAt = 14; // 16-bit
constexpr uint16_t PcmFormatTag = 1;
constexpr uint16_t AcceptedBitsPerSample = 16;
constexpr uint32_t AcceptedSampleRate = 44100; // frames per second

uint16_t Le16(const unsigned char* Bytes)
{
    return static_cast<uint16_t>(Bytes[0] | Bytes[1] << 8);
}

uint32_t Le32(const unsigned char* Bytes)
{
    return static_cast<uint32_t>(Le16(Bytes)) | static_cast<uint32_t>(Le16(Bytes + 2)) << 16;
}

// Finds the next chunk that matches Wanted's search key; Found is written only when it is there.
bool Descend(HMMIO File, MMCKINFO Wanted, const MMCKINFO* Parent, uint32_t Flags, MMCKINFO& Found)
{
    if (mmioDescend(File, Wanted, Parent, Flags) != MMSYSERR_NOERROR)
        return false;
    Found = Wanted;
    return true;
}

} // namespace

TWaveFileChunks::TWaveFileChunks(const std::string& FileName, bool AnyRate)
{
    errno = 0;
    FFile = mmioOpen(FileName, MMIO_READ | MMIO_ALLOCBUF);
    if (!FFile) {
        FOpenError = errno;
        FCheck = wcCannotOpen;
        return;
    }
    FCheck = CheckChunks(AnyRate);
}

TWaveFileChunks::~TWaveFileChunks()
{
    if (FFile)
        mmioClose(FFile, 0);
}

TWaveFileCheck TWaveFileChunks::CheckChunks(bool AnyRate)
{
    FFileBytes = mmioBytesRemaining(FFile);
    MMCKINFO wanted;
    wanted.fccType = mmioStringToFOURCC("WAVE", 0);
    if (!Descend(FFile, wanted, nullptr, MMIO_FINDRIFF, FRiff))
        return wcNotRiffWave;
    const MMCKINFO& riff = FRiff;
    wanted = MMCKINFO{};
    wanted.ckid = mmioStringToFOURCC("fmt ", 0);
    if (!Descend(FFile, wanted, &riff, MMIO_FINDCHUNK, FFormatChunk))
        return wcNoFormat;
    // A record too short to hold the fields that are checked is not a 16-bit PCM record.
    if (FFormatChunk.cksize < FormatRecordBytes)
        return wcNotPcm16;
    if (!ReadFormat())
        return wcFormatCutShort;
    mmioAscend(FFile, FFormatChunk, 0);
    if (FFormat.FormatTag != PcmFormatTag || FFormat.BitsPerSample != AcceptedBitsPerSample ||
        (!AnyRate && FFormat.SampleRate != AcceptedSampleRate))
        return wcNotPcm16;
    // Searched onwards from "fmt ": a "data" chunk before it is not found.
    wanted = MMCKINFO{};
    wanted.ckid = mmioStringToFOURCC("data", 0);
    if (!Descend(FFile, wanted, &riff, MMIO_FINDCHUNK, FData))
        // A file that ends before its RIFF chunk does was cut before its data.
        return riff.dwDataOffset + riff.cksize > FFileBytes ? wcDataCutShort : wcNoData;
    FDataBytesPresent = mmioBytesRemaining(FFile);
    FDataBytes = FData.cksize;
    return FDataBytesPresent < FDataBytes ? wcDataCutShort : wcAccepted;
}

bool TWaveFileChunks::ReadFormat()
{
    unsigned char record[FormatRecordBytes];
    if (mmioRead(FFile, record, sizeof record) != static_cast<int64_t>(sizeof record))
        return false;
    FFormat.FormatTag = Le16(record + FormatTagAt);
    FFormat.Channels = Le16(record + ChannelsAt);
    FFormat.SampleRate = Le32(record + SampleRateAt);
    FFormat.BitsPerSample = Le16(record + BitsPerSampleAt);
    return true;
}
