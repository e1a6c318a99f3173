#include "report/wavstreamreader.h"

#include "analysis/stereopower.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <filesystem>

namespace measure {

namespace {

constexpr bool AnyRate = true; // as in the window's file run
constexpr size_t BytesPerSample = 2;
constexpr size_t BytesPerStereoFrame = BytesPerSample * SamplesPerFrame;
constexpr const char* FileEndsEarly = "the file ends early";

// Samples are little-endian in the file and copied as they are.
static_assert(std::endian::native == std::endian::little, "samples are read without byte swapping");

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

// Why the file is refused, in a few words.
std::string Refusal(const TWaveFileChunks& Chunks, const std::string& FileName)
{
    switch (Chunks.Check()) {
    case wcCannotOpen:
        return OpenFailure(FileName, Chunks.OpenError());
    case wcNotRiffWave:
        return "not a WAV file (no RIFF chunk of form \"WAVE\")";
    case wcNoFormat:
        return "no \"fmt \" chunk";
    case wcFormatCutShort:
        return FileEndsEarly;
    case wcNotPcm16:
        return RejectedFileMessage;
    case wcNoData:
        return "no \"data\" chunk after the \"fmt \" chunk";
    case wcDataCutShort: // read as far as the file holds it
    case wcTooLarge:     // only a reader that holds the whole data finds this
    case wcAccepted:
        break;
    }
    return {};
}

} // namespace

TWavStreamReader::TWavStreamReader(const std::string& FileName) : FChunks(FileName, AnyRate, usToEndOfFile)
{
    if (!FChunks.FormatAccepted())
        throw EWavFileError(Refusal(FChunks, FileName));
    if (SampleRate() == 0)
        throw EWavFileError("the sample rate is 0, so no time can be given");
    const std::string refusal = Refusal(FChunks, FileName);
    if (!refusal.empty())
        throw EWavFileError(refusal);
    FFrameBytes = Channels() == 1 ? BytesPerSample : BytesPerStereoFrame;
    FDataFrames = std::min(FChunks.DataBytes(), FChunks.DataBytesPresent()) / FFrameBytes;
}

size_t TWavStreamReader::ReadBlocks(int16_t* Samples, size_t MaxBlocks)
{
    if (FEndedEarly)
        throw EWavFileError(FileEndsEarly);
    const auto wanted = static_cast<size_t>(std::min<uint64_t>(MaxBlocks, BlockCount() - FBlocksRead));
    if (wanted == 0)
        return 0;
    // Mono samples are read into the second half and widened forwards: each
    // pair written lies before every mono sample still to be read.
    const bool mono = Channels() == 1;
    const size_t stereoSamples = wanted * BlockFrames * SamplesPerFrame;
    int16_t* target = mono ? Samples + stereoSamples / SamplesPerFrame : Samples;
    const size_t blockBytes = BlockFrames * FFrameBytes;
    const int64_t got = mmioRead(FChunks.File(), target, static_cast<int64_t>(wanted * blockBytes));
    const size_t blocks = got > 0 ? static_cast<size_t>(got) / blockBytes : 0;
    if (blocks < wanted) {
        if (blocks == 0)
            throw EWavFileError(FileEndsEarly);
        FEndedEarly = true; // said when the blocks read so far have been taken
    }
    if (mono) {
        for (size_t i = 0; i < blocks * BlockFrames; ++i) {
            const int16_t sample = target[i];
            Samples[SamplesPerFrame * i] = Samples[SamplesPerFrame * i + 1] = sample;
        }
    }
    FBlocksRead += blocks;
    return blocks;
}

} // namespace measure
