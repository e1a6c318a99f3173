// Reading WAV files block by block: what is accepted, how mono is widened,
// how blocks are cut, and what is refused with which message.

#include "report/wavstreamreader.h"

#include "support/scratchdir.h"
#include "support/wavwriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

using namespace measure;

namespace {

constexpr size_t BlockFrames = TWavStreamReader::BlockFrames;

std::vector<int16_t> Ramp(size_t Count)
{
    std::vector<int16_t> samples(Count);
    for (size_t i = 0; i < Count; ++i)
        samples[i] = static_cast<int16_t>(i * 7 - 20000);
    return samples;
}

struct AcceptedCase {
    const char* Name;
    TWavFormat Format;
    size_t Samples;         // samples in the data chunk
    uint64_t Blocks;        // full blocks expected
    uint64_t DataFrames;    // frames expected (after widening)
};

class AcceptedFiles : public testing::TestWithParam<AcceptedCase> {};

struct RejectedCase {
    const char* Name;
    std::vector<uint8_t> Bytes;
    const char* Message; // the start of the expected message
};

class RejectedFiles : public testing::TestWithParam<RejectedCase> {};

std::vector<uint8_t> Fmt(uint16_t Tag, uint16_t Channels, uint32_t Rate, uint16_t Bits)
{
    return RiffChunk("fmt ", WavFormatRecord(TWavFormat{Tag, Channels, Rate, Bits}));
}

std::vector<uint8_t> Data(size_t Samples)
{
    return RiffChunk("data", SampleBytes(Ramp(Samples)));
}

} // namespace

TEST_P(AcceptedFiles, CountsBlocksAndFrames)
{
    const TScratchDir dir;
    const std::string path = dir.File("accepted.wav");
    WriteWavFile(path, Ramp(GetParam().Samples), GetParam().Format);
    TWavStreamReader reader(path);
    EXPECT_EQ(reader.Channels(), GetParam().Format.Channels);
    EXPECT_EQ(reader.SampleRate(), GetParam().Format.SampleRate);
    EXPECT_EQ(reader.DataFrames(), GetParam().DataFrames);
    EXPECT_EQ(reader.BlockCount(), GetParam().Blocks);
    std::vector<int16_t> block(BlockFrames * 2);
    uint64_t read = 0;
    while (reader.ReadBlocks(block.data(), 1) == 1)
        ++read;
    EXPECT_EQ(read, GetParam().Blocks);
    EXPECT_EQ(reader.ReadBlocks(block.data(), 1), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, AcceptedFiles,
    testing::Values(AcceptedCase{"Stereo44100", {1, 2, 44100, 16}, BlockFrames * 2 * 3, 3, BlockFrames * 3},
                    AcceptedCase{"TwoAndAHalfBlocks", {1, 2, 44100, 16}, BlockFrames * 5, 2, BlockFrames * 5 / 2},
                    AcceptedCase{"ShorterThanABlock", {1, 2, 44100, 16}, 100, 0, 50},
                    AcceptedCase{"EmptyData", {1, 2, 44100, 16}, 0, 0, 0},
                    AcceptedCase{"Mono", {1, 1, 44100, 16}, BlockFrames * 2, 2, BlockFrames * 2},
                    AcceptedCase{"Mono11025", {1, 1, 11025, 16}, BlockFrames + 1, 1, BlockFrames + 1},
                    AcceptedCase{"Stereo48000", {1, 2, 48000, 16}, BlockFrames * 2, 1, BlockFrames},
                    AcceptedCase{"Stereo22050", {1, 2, 22050, 16}, BlockFrames * 4, 2, BlockFrames * 2},
                    AcceptedCase{"FourChannels", {1, 4, 44100, 16}, BlockFrames * 4 * 2, 2, BlockFrames * 2}),
    [](const testing::TestParamInfo<AcceptedCase>& Info) { return std::string(Info.param.Name); });

TEST(WavStreamReader, StereoBlocksAreTheFileSamplesInOrder)
{
    const TScratchDir dir;
    const std::string path = dir.File("stereo.wav");
    const std::vector<int16_t> samples = Ramp(BlockFrames * 2 * 2);
    WriteWavFile(path, samples);
    TWavStreamReader reader(path);
    std::vector<int16_t> block(BlockFrames * 2);
    ASSERT_EQ(reader.ReadBlocks(block.data(), 1), 1u);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), samples.begin()));
    ASSERT_EQ(reader.ReadBlocks(block.data(), 1), 1u);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), samples.begin() + BlockFrames * 2));
}

TEST(WavStreamReader, MonoIsWidenedToStereo)
{
    const TScratchDir dir;
    const std::string path = dir.File("mono.wav");
    const std::vector<int16_t> samples = Ramp(BlockFrames);
    WriteWavFile(path, samples, TWavFormat{1, 1, 44100, 16});
    TWavStreamReader reader(path);
    std::vector<int16_t> block(BlockFrames * 2);
    ASSERT_EQ(reader.ReadBlocks(block.data(), 1), 1u);
    for (size_t i = 0; i < BlockFrames; ++i) {
        ASSERT_EQ(block[2 * i], samples[i]) << i;
        ASSERT_EQ(block[2 * i + 1], samples[i]) << i;
    }
}

TEST(WavStreamReader, SkipsOtherChunksAndOddSizesWithTheirPadByte)
{
    const TScratchDir dir;
    const std::string path = dir.File("chunks.wav");
    const std::vector<int16_t> samples = Ramp(BlockFrames * 2);
    WriteFileBytes(path, WaveFile({RiffChunk("junk", {1, 2, 3}), Fmt(1, 2, 44100, 16), RiffChunk("LIST", {9}),
                                   RiffChunk("data", SampleBytes(samples))}));
    TWavStreamReader reader(path);
    std::vector<int16_t> block(BlockFrames * 2);
    ASSERT_EQ(reader.ReadBlocks(block.data(), 1), 1u);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), samples.begin()));
}

TEST_P(RejectedFiles, SayWhy)
{
    const TScratchDir dir;
    const std::string path = dir.File("rejected.wav");
    WriteFileBytes(path, GetParam().Bytes);
    try {
        TWavStreamReader reader(path);
        FAIL() << "accepted";
    } catch (const EWavFileError& error) {
        EXPECT_EQ(error.Message().rfind(GetParam().Message, 0), 0u) << error.Message();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, RejectedFiles,
    testing::Values(RejectedCase{"EightBit", WaveFile({Fmt(1, 2, 44100, 8), Data(10)}),
                                 "8-bit PCM: only 16-bit PCM is measured"},
                    RejectedCase{"Float", WaveFile({Fmt(3, 2, 44100, 64), Data(10)}), "64-bit float: only 16-bit PCM"},
                    RejectedCase{"TwentyFourBit", WaveFile({Fmt(1, 2, 48000, 24), Data(10)}), "24-bit PCM: only 16-bit"},
                    RejectedCase{"ALaw", WaveFile({Fmt(6, 1, 8000, 8), Data(10)}), "A-law: only 16-bit PCM"},
                    RejectedCase{"UnknownTag", WaveFile({Fmt(0x1234, 2, 8000, 16), Data(10)}), "format tag 0x1234: only"},
                    RejectedCase{"ShortFormatRecord", WaveFile({RiffChunk("fmt ", {1, 0, 2, 0}), Data(10)}),
                                 "a format record of 4 bytes, under the 16 of PCM"},
                    RejectedCase{"NoChannels", WaveFile({Fmt(1, 0, 44100, 16), Data(10)}), "the format record gives 0"},
                    RejectedCase{"RateZero", WaveFile({Fmt(1, 2, 0, 16), Data(10)}), "the sample rate is 0"},
                    RejectedCase{"NoFormat", WaveFile({Data(10)}), "no \"fmt \" chunk before the \"data\" chunk"},
                    RejectedCase{"NoData", WaveFile({Fmt(1, 2, 44100, 16)}), "no \"data\" chunk"},
                    RejectedCase{"DataBeforeFormat", WaveFile({Data(10), Fmt(1, 2, 44100, 16)}), "no \"fmt \" chunk before"},
                    RejectedCase{"Aiff", std::vector<uint8_t>{'F', 'O', 'R', 'M', 0, 0, 0, 4, 'A', 'I', 'F', 'F'},
                                 "an AIFF file, not WAV"},
                    RejectedCase{"NotRiff", std::vector<uint8_t>(64, 'x'), "not a WAV file"},
                    RejectedCase{"RiffButNotWave", RiffChunk("RIFF", {'A', 'V', 'I', ' '}), "not a WAV file"},
                    RejectedCase{"Empty", {}, "not a WAV file (the file is empty)"}),
    [](const testing::TestParamInfo<RejectedCase>& Info) { return std::string(Info.param.Name); });

TEST(WavStreamReader, TruncatedDataIsReadToItsLastFullBlock)
{
    const TScratchDir dir;
    const std::string path = dir.File("truncated.wav");
    const std::vector<int16_t> samples = Ramp(BlockFrames * 2 * 4);
    std::vector<uint8_t> bytes = WavFileBytes(samples);
    bytes.resize(bytes.size() - 3);
    WriteFileBytes(path, bytes);
    TWavStreamReader reader(path);
    EXPECT_TRUE(reader.CutShort());
    EXPECT_EQ(reader.DeclaredBlocks(), 4u);
    EXPECT_EQ(reader.BlockCount(), 3u);
    std::vector<int16_t> block(BlockFrames * 2);
    for (size_t b = 0; b < 3; ++b) {
        ASSERT_EQ(reader.ReadBlocks(block.data(), 1), 1u);
        EXPECT_TRUE(std::equal(block.begin(), block.end(), samples.begin() + static_cast<long>(b * BlockFrames * 2)));
    }
    EXPECT_EQ(reader.ReadBlocks(block.data(), 1), 0u);
}

TEST(WavStreamReader, MissingFileAndFolder)
{
    const TScratchDir dir;
    EXPECT_THROW(
        {
            try {
                TWavStreamReader reader(dir.File("absent.wav"));
            } catch (const EWavFileError& error) {
                EXPECT_EQ(error.Message(), "no such file");
                throw;
            }
        },
        EWavFileError);
    EXPECT_THROW(
        {
            try {
                TWavStreamReader reader(dir.Path());
            } catch (const EWavFileError& error) {
                EXPECT_EQ(error.Message(), "is a directory");
                throw;
            }
        },
        EWavFileError);
}

// Files past 4 GiB, made sparse: RF64 gives the size in its ds64 chunk; a
// plain RIFF file with placeholder sizes runs to the end of the file.
TEST(WavStreamReader, FilesPastFourGibibytes)
{
    constexpr uint64_t BlockBytes = BlockFrames * 4;
    constexpr uint64_t Blocks = (uint64_t{1} << 32) / BlockBytes + 2;
    constexpr uint64_t DataBytes = Blocks * BlockBytes;
    const auto le = [](uint64_t Value, size_t Bytes) {
        std::vector<uint8_t> out;
        for (size_t i = 0; i < Bytes; ++i)
            out.push_back(static_cast<uint8_t>(Value >> (8 * i)));
        return out;
    };
    const auto join = [](std::vector<std::vector<uint8_t>> Parts) {
        std::vector<uint8_t> out;
        for (const auto& part : Parts)
            out.insert(out.end(), part.begin(), part.end());
        return out;
    };
    const std::vector<uint8_t> fmt = Fmt(1, 2, 44100, 16);
    const std::vector<uint8_t> dataHeader = {'d', 'a', 't', 'a', 0xFF, 0xFF, 0xFF, 0xFF};
    const std::vector<uint8_t> ds64 = join({{'d', 's', '6', '4'}, le(28, 4), le(DataBytes + 72, 8), le(DataBytes, 8),
                                            le(DataBytes / 4, 8), le(0, 4)});
    struct Form {
        const char* Name;
        std::vector<uint8_t> Header;
    };
    const Form forms[] = {
        {"RF64", join({{'R', 'F', '6', '4'}, le(0xFFFFFFFF, 4), {'W', 'A', 'V', 'E'}, ds64, fmt, dataHeader})},
        {"RIFF with placeholder sizes", join({{'R', 'I', 'F', 'F'}, le(0xFFFFFFFF, 4), {'W', 'A', 'V', 'E'}, fmt, dataHeader})},
    };
    const TScratchDir dir;
    for (const Form& form : forms) {
        SCOPED_TRACE(form.Name);
        const std::string path = dir.File("large.wav");
        WriteFileBytes(path, form.Header);
        // Sparse; resize_file counts in 64 bits where off_t has 32 (MinGW).
        std::filesystem::resize_file(path, form.Header.size() + DataBytes);
        TWavStreamReader reader(path);
        EXPECT_EQ(reader.DataFrames(), DataBytes / 4);
        EXPECT_EQ(reader.BlockCount(), Blocks);
        EXPECT_FALSE(reader.CutShort());
        std::vector<int16_t> block(BlockFrames * 2, 1);
        ASSERT_EQ(reader.ReadBlocks(block.data(), 1), 1u);
        EXPECT_EQ(std::count(block.begin(), block.end(), 0), static_cast<long>(block.size()));
    }
}
