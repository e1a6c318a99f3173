#include "tools/measure/wavstreamreader.h"

#include "analysis/stereopower.h"

#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {

constexpr uint16_t PcmFormatTag = 1;
constexpr uint16_t AcceptedBitsPerSample = 16;
constexpr size_t FormatRecordBytes = 16; // the PCM fields: tag, channels, rate, byte rate, align, bits
// Byte offsets of the fields read from the format record.
constexpr size_t FormatTagAt = 0;      // 16-bit
constexpr size_t ChannelsAt = 2;       // 16-bit
constexpr size_t SampleRateAt = 4;     // 32-bit
constexpr size_t BitsPerSampleAt = 14; // 16-bit
constexpr size_t BytesPerSample = 2;
constexpr size_t BytesPerStereoFrame = BytesPerSample * SamplesPerFrame;

// Samples are little-endian in the file and copied as they are.
static_assert(std::endian::native == std::endian::little, "samples are read without byte swapping");

uint16_t Le16(const unsigned char* Bytes)
{
    return static_cast<uint16_t>(Bytes[0] | Bytes[1] << 8);
}

uint32_t Le32(const unsigned char* Bytes)
{
    return static_cast<uint32_t>(Le16(Bytes)) | static_cast<uint32_t>(Le16(Bytes + sizeof(uint16_t))) << 16;
}

// Why the file could not be opened, in a few words.
std::string OpenFailure(const std::string& FileName, int Error)
{
    std::error_code ignored;
    if (!std::filesystem::exists(FileName, ignored))
        return "no such file";
    if (std::filesystem::is_directory(FileName, ignored))
        return "is a directory";
    if (Error != 0)
        return std::strerror(Error);
    return "not a regular file";
}

} // namespace

TWavStreamReader::TWavStreamReader(const std::string& FileName)
{
    errno = 0;
    FFile = mmioOpen(FileName, MMIO_READ | MMIO_ALLOCBUF);
    if (!FFile)
        throw EWavFileError(OpenFailure(FileName, errno));
    try {
        MMCKINFO riff;
        riff.fccType = mmioStringToFOURCC("WAVE");
        if (mmioDescend(FFile, riff, nullptr, MMIO_FINDRIFF) != MMSYSERR_NOERROR)
            throw EWavFileError("not a WAV file (no RIFF chunk of form \"WAVE\")");
        FindFormat(riff);
        FindData(riff);
    } catch (...) {
        mmioClose(FFile);
        throw;
    }
}

TWavStreamReader::~TWavStreamReader()
{
    mmioClose(FFile);
}

void TWavStreamReader::FindFormat(MMCKINFO& Riff)
{
    MMCKINFO format;
    format.ckid = mmioStringToFOURCC("fmt ");
    if (mmioDescend(FFile, format, &Riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        throw EWavFileError("no \"fmt \" chunk");
    // A record too short to hold the PCM fields cannot say "16-bit PCM".
    if (format.cksize < FormatRecordBytes)
        throw EWavFileError(RejectedFileMessage);
    unsigned char record[FormatRecordBytes];
    ReadExactly(record, sizeof record);
    mmioAscend(FFile, format);

    const uint16_t formatTag = Le16(record + FormatTagAt);
    FChannels = Le16(record + ChannelsAt);
    FSampleRate = Le32(record + SampleRateAt);
    const uint16_t bitsPerSample = Le16(record + BitsPerSampleAt);
    // Any rate is accepted, as in the window's file run.
    if (formatTag != PcmFormatTag || bitsPerSample != AcceptedBitsPerSample)
        throw EWavFileError(RejectedFileMessage);
    if (FSampleRate == 0)
        throw EWavFileError("the sample rate is 0, so no time can be given");
}

void TWavStreamReader::FindData(const MMCKINFO& Riff)
{
    // The search goes on from the end of "fmt ": a "data" chunk before it is not found.
    MMCKINFO data;
    data.ckid = mmioStringToFOURCC("data");
    if (mmioDescend(FFile, data, &Riff, MMIO_FINDCHUNK) != MMSYSERR_NOERROR)
        throw EWavFileError("no \"data\" chunk after the \"fmt \" chunk");
    // The window reads nothing of a file whose data chunk is cut short.
    const uint64_t present = mmioBytesRemaining(FFile);
    if (present < data.cksize)
        throw EWavFileError("the data chunk is cut short: it declares " + std::to_string(data.cksize) +
                            " bytes, the file holds " + std::to_string(present));
    if (FChannels == 1) {
        FDataFrames = data.cksize / BytesPerSample;
        FMono.resize(BlockFrames);
    } else {
        FDataFrames = data.cksize / BytesPerStereoFrame;
    }
}

bool TWavStreamReader::ReadBlock(int16_t* Samples)
{
    if (FBlocksRead >= BlockCount())
        return false;
    if (FMono.empty()) {
        ReadExactly(Samples, BlockFrames * BytesPerStereoFrame);
    } else {
        ReadExactly(FMono.data(), BlockFrames * BytesPerSample);
        for (size_t i = 0; i < BlockFrames; ++i)
            Samples[SamplesPerFrame * i] = Samples[SamplesPerFrame * i + 1] = FMono[i];
    }
    ++FBlocksRead;
    return true;
}

void TWavStreamReader::ReadExactly(void* Buffer, size_t Bytes)
{
    if (mmioRead(FFile, Buffer, static_cast<int64_t>(Bytes)) != static_cast<int64_t>(Bytes))
        throw EWavFileError("the file ends early");
}
