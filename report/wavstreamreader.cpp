#include "report/wavstreamreader.h"

#include "analysis/stereopower.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace measure {

namespace {

constexpr size_t BytesPerSample = 2;
constexpr size_t BytesPerStereoFrame = BytesPerSample * SamplesPerFrame;
constexpr size_t FrameBufferBytes = 65536; // frames of other than two channels read at a time, at least one
constexpr const char* FileEndsEarly = "the file ends early";

// Samples are little-endian in the file and copied as they are.
static_assert(std::endian::native == std::endian::little, "samples are read without byte swapping");

} // namespace

TWavStreamReader::TWavStreamReader(const std::string& FileName, bool StandardInput)
    : FInput(FileName, StandardInput), FLayout(ReadWavHeader(FInput))
{
    FFrameBytes = BytesPerSample * Channels();
    if (Channels() != SamplesPerFrame)
        FFrames.resize(std::max<size_t>(FrameBufferBytes, FFrameBytes));
    FRiffNote = RiffSizeNote(FLayout, FInput);
    if (SizeKnown()) {
        const uint64_t present = FInput.Size() - std::min(FInput.Size(), FLayout.DataStart);
        FDataFrames = (Streamed() ? present : std::min(FLayout.DeclaredDataBytes, present)) / FFrameBytes;
    }
}

size_t TWavStreamReader::ReadBlocks(int16_t* Samples, size_t MaxBlocks)
{
    return SizeKnown() ? ReadKnownBlocks(Samples, MaxBlocks) : ReadStreamBlocks(Samples, MaxBlocks);
}

size_t TWavStreamReader::ReadKnownBlocks(int16_t* Samples, size_t MaxBlocks)
{
    if (FEndedEarly)
        throw EWavFileError(FileEndsEarly);
    const auto wanted = static_cast<size_t>(std::min<uint64_t>(MaxBlocks, BlockCount() - FBlocksRead));
    if (wanted == 0)
        return 0;
    const size_t blocks = ReadFrames(Samples, wanted * BlockFrames) / BlockFrames;
    if (blocks < wanted) {
        if (blocks == 0)
            throw EWavFileError(FileEndsEarly);
        FEndedEarly = true; // said when the blocks read so far have been taken
    }
    FBlocksRead += blocks;
    return blocks;
}

size_t TWavStreamReader::ReadStreamBlocks(int16_t* Samples, size_t MaxBlocks)
{
    if (FEnded)
        return 0;
    uint64_t wanted = static_cast<uint64_t>(MaxBlocks) * BlockFrames;
    if (!Streamed())
        wanted = std::min(wanted, DeclaredFrames() - FDataFrames);
    const size_t frames = ReadFrames(Samples, static_cast<size_t>(wanted));
    FDataFrames += frames;
    // The stream ends at the end of the input, or where the data chunk ends;
    // a tail shorter than a block is only counted.
    FEnded = frames < wanted || (!Streamed() && FDataFrames == DeclaredFrames());
    const size_t blocks = frames / BlockFrames;
    FBlocksRead += blocks;
    return blocks;
}

size_t TWavStreamReader::ReadFrames(int16_t* Samples, size_t Frames)
{
    if (Channels() == SamplesPerFrame)
        return FInput.Read(Samples, Frames * BytesPerStereoFrame) / BytesPerStereoFrame;
    const size_t pieceFrames = FFrames.size() / FFrameBytes;
    const size_t second = Channels() == 1 ? 0 : BytesPerSample; // mono: channel 1 on both sides
    size_t done = 0;
    while (done < Frames) {
        const size_t want = std::min(pieceFrames, Frames - done);
        const size_t got = FInput.Read(FFrames.data(), want * FFrameBytes) / FFrameBytes;
        for (size_t i = 0; i < got; ++i, ++done) {
            const uint8_t* frame = FFrames.data() + i * FFrameBytes;
            std::memcpy(Samples + SamplesPerFrame * done, frame, BytesPerSample);
            std::memcpy(Samples + SamplesPerFrame * done + 1, frame + second, BytesPerSample);
        }
        if (got < want)
            break;
    }
    return done;
}

} // namespace measure
