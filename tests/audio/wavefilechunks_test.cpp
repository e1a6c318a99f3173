// The shared chunk checks: the reason each kind of file is refused, and where
// an accepted file's chunks lie.

#include "audio/wavefilechunks.h"

#include "support/scratchdir.h"
#include "support/wavwriter.h"

#include <gtest/gtest.h>

namespace {

struct TCheckCase {
    const char* Name;
    std::vector<uint8_t> Bytes;
    bool AnyRate;
    TWaveFileCheck Expected;
};

class WaveFileChecks : public testing::TestWithParam<TCheckCase> {};

std::vector<uint8_t> Fmt(uint16_t Tag, uint32_t Rate, uint16_t Bits)
{
    return RiffChunk("fmt ", WavFormatRecord(TWavFormat{Tag, 2, Rate, Bits}));
}

std::vector<uint8_t> Data(size_t Samples)
{
    return RiffChunk("data", SampleBytes(std::vector<int16_t>(Samples, 7)));
}

// The file without its last Missing bytes: its last chunk holds less than it declares.
std::vector<uint8_t> CutShort(std::vector<uint8_t> Bytes, size_t Missing)
{
    Bytes.resize(Bytes.size() - Missing);
    return Bytes;
}

} // namespace

TEST_P(WaveFileChecks, NameTheFirstProblem)
{
    const TScratchDir dir;
    const std::string path = dir.File("checked.wav");
    WriteFileBytes(path, GetParam().Bytes);
    const TWaveFileChunks chunks(path, GetParam().AnyRate);
    EXPECT_EQ(chunks.Check(), GetParam().Expected);
    EXPECT_EQ(chunks.FormatAccepted(), GetParam().Expected > wcNotPcm16);
}

INSTANTIATE_TEST_SUITE_P(
    Files, WaveFileChecks,
    testing::Values(TCheckCase{"Stereo", WaveFile({Fmt(1, 44100, 16), Data(8)}), false, wcAccepted},
                    TCheckCase{"OtherRate", WaveFile({Fmt(1, 48000, 16), Data(8)}), false, wcNotPcm16},
                    TCheckCase{"OtherRateWhenAnyPasses", WaveFile({Fmt(1, 48000, 16), Data(8)}), true, wcAccepted},
                    TCheckCase{"EightBit", WaveFile({Fmt(1, 44100, 8), Data(8)}), true, wcNotPcm16},
                    TCheckCase{"NotRiff", std::vector<uint8_t>(64, 'x'), true, wcNotRiffWave},
                    TCheckCase{"NoFormat", WaveFile({Data(8)}), true, wcNoFormat},
                    TCheckCase{"FormatCutShort", CutShort(WaveFile({Fmt(1, 44100, 16)}), 4), true, wcFormatCutShort},
                    TCheckCase{"DataBeforeFormat", WaveFile({Data(8), Fmt(1, 44100, 16)}), true, wcNoData},
                    TCheckCase{"DataCutShort", CutShort(WaveFile({Fmt(1, 44100, 16), Data(8)}), 3), true,
                               wcDataCutShort}),
    [](const testing::TestParamInfo<TCheckCase>& Info) { return std::string(Info.param.Name); });

TEST(WaveFileChunks, AnAcceptedFileStandsAtItsFirstSampleWithEveryChunkPlaced)
{
    const TScratchDir dir;
    const std::string path = dir.File("placed.wav");
    const std::vector<int16_t> samples{101, -102, 103, -104};
    // RIFF header and form type (12 bytes), a 3-byte chunk with its pad byte
    // (12), "fmt " (8 + 16), then the data chunk's header (8).
    WriteFileBytes(path, WaveFile({RiffChunk("junk", {1, 2, 3}), Fmt(1, 44100, 16),
                                   RiffChunk("data", SampleBytes(samples))}));
    const TWaveFileChunks chunks(path, false);
    ASSERT_EQ(chunks.Check(), wcAccepted);
    EXPECT_EQ(chunks.RiffChunk().dwDataOffset, 8u);
    EXPECT_EQ(chunks.RiffChunk().cksize, 4u + 12 + 24 + 16);
    EXPECT_EQ(chunks.FormatChunk().dwDataOffset, 32u);
    EXPECT_EQ(chunks.FormatChunk().cksize, 16u);
    EXPECT_EQ(chunks.DataChunk().dwDataOffset, 56u);
    EXPECT_EQ(chunks.DataChunk().cksize, 8u);
    EXPECT_EQ(chunks.DataBytesPresent(), 8u);
    EXPECT_EQ(chunks.Format().SampleRate, 44100u);
    int16_t first = 0;
    ASSERT_EQ(mmioRead(chunks.File(), &first, sizeof first), 2);
    EXPECT_EQ(first, 101);
}
