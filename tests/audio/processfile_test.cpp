// TWaveIn::ProcessFile on WAV files written byte by byte by the test and by
// sox, with the live device open beforehand (a rejected file must leave it so).

#include "audio/wavein.h"
#include "platform/forms/application.h"
#include "support/allocationcounter.h"
#include "support/alsaconfig.h"
#include "support/filefeedfixture.h"
#include "support/messagepump.h"
#include "support/riffbuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <memory>
#include <string>
#include <vector>

using namespace riffbuilder;
using messagepump::PumpFor;
using messagepump::PumpUntil;

namespace {

constexpr uint16_t Pcm = 1;
constexpr uint16_t FloatTag = 3;
constexpr uint16_t Mono = 1, Stereo = 2;
constexpr uint32_t Rate = 44100;

std::vector<int16_t> Ramp(size_t Count, int16_t Step = 3)
{
    std::vector<int16_t> values(Count);
    for (size_t i = 0; i < Count; ++i)
        values[i] = static_cast<int16_t>(static_cast<int>(i + 1) * Step * (i % 2 ? -1 : 1));
    return values;
}

std::vector<int16_t> Head(const std::vector<int16_t>& Values, size_t Count)
{
    return std::vector<int16_t>(Values.begin(), Values.begin() + static_cast<long>(Count));
}

std::vector<int16_t> Widened(const std::vector<int16_t>& MonoValues)
{
    std::vector<int16_t> stereo;
    for (int16_t v : MonoValues) {
        stereo.push_back(v);
        stereo.push_back(v);
    }
    return stereo;
}

std::string Wav(uint16_t Channels, uint32_t SampleRate, const std::vector<int16_t>& Values,
                uint16_t Bits = 16, uint16_t Tag = Pcm)
{
    return Riff("WAVE", FmtChunk(Tag, Channels, SampleRate, Bits) + Chunk("data", Samples(Values)));
}

struct TFileCase {
    const char* Name;
    std::string Bytes;
    TOutcome Outcome;
    std::vector<int16_t> Expected; // samples of the full blocks, for a fed file
    bool IgnoreRate = false;
};

void PrintTo(const TFileCase& Case, std::ostream* Out)
{
    *Out << Case.Name;
}

class ProcessFileCases : public TFileFeedFixture, public ::testing::WithParamInterface<TFileCase> {};

const std::vector<int16_t> Values = Ramp(24);

std::vector<TFileCase> Cases()
{
    const std::string fmt = FmtChunk(Pcm, Stereo, Rate, 16);
    const std::string data = Chunk("data", Samples(Values));
    return {
        {"StereoExactBlocks", Wav(Stereo, Rate, Values), ocFed, Values},
        {"StereoTwoAndAHalfBlocks", Wav(Stereo, Rate, Head(Values, 20)), ocFed, Head(Values, 16)},
        {"MonoWidened", Wav(Mono, Rate, Head(Values, 8)), ocFed, Widened(Head(Values, 8))},
        {"MonoPartialBlock", Wav(Mono, Rate, Head(Values, 6)), ocFed, Widened(Head(Values, 4))},
        {"MonoOddByteCount", Riff("WAVE", FmtChunk(Pcm, Mono, Rate, 16) + Chunk("data", Samples(Head(Values, 8)) + "z")),
         ocFed, Widened(Head(Values, 8))},
        {"ThreeChannelsReadAsStereoFrames", Wav(3, Rate, Head(Values, 12)), ocFed, Head(Values, 8)},
        {"EmptyData", Wav(Stereo, Rate, {}), ocFed, {}},
        {"ShorterThanOneBlock", Wav(Stereo, Rate, Head(Values, 6)), ocFed, {}},
        {"OddChunksAround", Riff("WAVE", Chunk("junk", "abc") + fmt + Chunk("LIST", "x") + data), ocFed, Values},
        {"OddSizedFmt", Riff("WAVE", Chunk("fmt ", FormatRecord(Pcm, Stereo, Rate, 16) + "e") + data), ocFed, Values},
        {"FmtWithExtension", Riff("WAVE", Chunk("fmt ", FormatRecord(Pcm, Stereo, Rate, 16) + Le16(0)) + data), ocFed,
         Values},
        {"TopLevelChunkBeforeRiff", Chunk("junk", "top") + Wav(Stereo, Rate, Values), ocFed, Values},
        {"Rate48000Ignored", Wav(Stereo, 48000, Values), ocFed, Values, true},
        {"Rate22050Ignored", Wav(Stereo, 22050, Values), ocFed, Values, true},
        {"EightBit", Wav(Stereo, Rate, Values, 8), ocRejected, {}},
        {"EightBitIgnoringRate", Wav(Stereo, Rate, Values, 8), ocRejected, {}, true},
        {"NotPcm", Wav(Stereo, Rate, Values, 16, FloatTag), ocRejected, {}},
        {"Rate48000", Wav(Stereo, 48000, Values), ocRejected, {}},
        {"FmtShorterThan16", Riff("WAVE", Chunk("fmt ", FormatRecord(Pcm, Stereo, Rate, 16).substr(0, 14)) + data),
         ocRejected, {}},
        {"DataBeforeFmt", Riff("WAVE", data + fmt), ocIgnored, {}},
        {"NoData", Riff("WAVE", fmt), ocIgnored, {}},
        {"NoFmt", Riff("WAVE", data), ocIgnored, {}},
        {"NotWave", Riff("AVI ", fmt + data), ocIgnored, {}},
        {"NotRiff", "plain text, not a sound file", ocIgnored, {}},
        {"TruncatedData", Riff("WAVE", fmt + ChunkDeclaring("data", 100, Samples(Values))), ocIgnored, {}},
        {"HugeDeclaredData", Riff("WAVE", fmt + ChunkDeclaring("data", 0xFFFFFFF0u, Samples(Values))), ocIgnored, {}},
        {"FileEndsInsideFmt", Riff("WAVE", ChunkDeclaring("fmt ", 16, "12345678")), ocIgnored, {}},
        {"DataOutsideTheRiffChunk", Riff("WAVE", fmt) + data, ocIgnored, {}},
    };
}

} // namespace

TEST_P(ProcessFileCases, FeedsRejectsOrIgnoresTheFile)
{
    const TFileCase& c = GetParam();
    WaveIn->SetIgnoreFileSampleRate(c.IgnoreRate);
    const std::string path = Write(std::string(c.Name) + ".wav", c.Bytes);
    allocationcounter::LargestAllocation = 0;
    WaveIn->ProcessFile(path);
    // Declared sizes are not believed: nothing near them is allocated.
    constexpr size_t Plenty = 1 << 20;
    EXPECT_LT(allocationcounter::LargestAllocation.load(), Plenty);
    PumpFor(QuietRounds);

    if (c.Outcome != ocFed) {
        ExpectUntouched();
        const std::vector<std::string> message{WrongFormat + " | " + path + " | 0"};
        EXPECT_EQ(Shown, c.Outcome == ocRejected ? message : std::vector<std::string>{});
        return;
    }
    EXPECT_TRUE(Shown.empty());
    const int32_t blocks = static_cast<int32_t>(c.Expected.size() / (2 * TinyBlock));
    EXPECT_EQ(WaveIn->BufferCount(), blocks);
    EXPECT_EQ(Fed, c.Expected);
    std::vector<int32_t> numbers;
    for (int32_t i = 0; i < blocks; ++i)
        numbers.push_back(i);
    EXPECT_EQ(Numbers, numbers);
    EXPECT_EQ(Counts, std::vector<int32_t>(static_cast<size_t>(blocks), blocks));
    // The live input closed before the first block, and stays closed.
    ASSERT_FALSE(Log.empty());
    EXPECT_EQ(Log.front(), "close");
    EXPECT_EQ(std::count(Log.begin(), Log.end(), "close"), 1);
    EXPECT_FALSE(WaveIn->Enabled());
    EXPECT_EQ(WaveIn->State(), wsClosed);
}

INSTANTIATE_TEST_SUITE_P(Files, ProcessFileCases, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<TFileCase>& Info) { return std::string(Info.param.Name); });

TEST_F(TFileFeedFixture, AMissingFileIsIgnored)
{
    WaveIn->ProcessFile(ScratchPath("no-such-file.wav"));
    PumpFor(QuietRounds);
    ExpectUntouched();
    EXPECT_TRUE(Shown.empty());
}

TEST_F(TFileFeedFixture, TheTailIsHandedOverAsAShortBlockThatIsNotShown)
{
    // 2.5 blocks: two full blocks, then 8 bytes.
    WaveIn->ProcessFile(Write("tail.wav", Wav(Stereo, Rate, Head(Values, 20))));
    ASSERT_EQ(WaveIn->Handled.size(), 3u);
    const uint32_t full = TinyBlock * 4;
    // Each handled block advances the number once more after the feed set it,
    // so the tail comes after a gap.
    EXPECT_EQ(WaveIn->Handled[0].Number, 0);
    EXPECT_EQ(WaveIn->Handled[1].Number, 1);
    EXPECT_EQ(WaveIn->Handled[2].Number, 3);
    EXPECT_EQ(WaveIn->Handled[0].Bytes, full);
    EXPECT_EQ(WaveIn->Handled[2].Bytes, 8u);
    for (const auto& block : WaveIn->Handled) {
        EXPECT_EQ(block.User, FileBlockMarker);
        EXPECT_EQ(block.State, wsRunning);
    }
    EXPECT_EQ(Numbers, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(WaveIn->BufferNumber(), 4);
    EXPECT_EQ(WaveIn->State(), wsClosed);
}

TEST_F(TFileFeedFixture, AnExceptionFromOnDataEndsTheFeedAndLeavesTheComponentClosed)
{
    WaveIn->SetOnData([](wavehdr_tag&) { throw Exception("handler failed"); });
    const std::string path = Write("throws.wav", Wav(Stereo, Rate, Values));
    EXPECT_THROW(WaveIn->ProcessFile(path), Exception);
    EXPECT_EQ(WaveIn->Handled.size(), 1u);
    EXPECT_EQ(WaveIn->State(), wsClosed);
    EXPECT_FALSE(WaveIn->Enabled());

    // The next feed runs from the start.
    int blocks = 0;
    WaveIn->SetOnData([&](wavehdr_tag&) { ++blocks; });
    WaveIn->ProcessFile(path);
    EXPECT_EQ(blocks, 3);
}

TEST_F(TFileFeedFixture, TheLiveInputReopensAfterAFileAndTheBlockCountStays)
{
    WaveIn->ProcessFile(Write("reopen.wav", Wav(Stereo, Rate, Values)));
    EXPECT_EQ(WaveIn->BufferCount(), 3);
    WaveIn->SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return Opens == 2; }));
    EXPECT_TRUE(WaveIn->Enabled());
    // The file's block count stays until the next file.
    EXPECT_EQ(WaveIn->BufferCount(), 3);
}


// A mono file is widened a block at a time: the data chunk is held once, not
// twice, and every block still reads as stereo frames of the mono samples.
TEST_F(TFileFeedFixture, MonoIsWidenedBlockByBlock)
{
    constexpr int32_t BlockFrames = 4410;
    constexpr size_t MonoSamples = 64 * BlockFrames; // 551 KB of data
    std::vector<int16_t> values(MonoSamples);
    for (size_t i = 0; i < MonoSamples; ++i)
        values[i] = static_cast<int16_t>(i * 7);
    const std::string path = Write("long-mono.wav", Wav(Mono, Rate, values));
    WaveIn->SetBufferSamples(BlockFrames); // few blocks: the probe's record of them stays small
    size_t wrongFrames = 0;
    size_t frames = 0;
    WaveIn->SetOnData([&](wavehdr_tag& Header) {
        const auto* samples = reinterpret_cast<const int16_t*>(Header.lpData);
        for (size_t f = 0; f < Header.dwBytesRecorded / 4; ++f, ++frames)
            wrongFrames += samples[2 * f] != values[frames] || samples[2 * f + 1] != values[frames];
    });
    allocationcounter::LargestAllocation = 0;
    WaveIn->ProcessFile(path);
    EXPECT_EQ(frames, MonoSamples);
    EXPECT_EQ(wrongFrames, 0u);
    const size_t dataBytes = MonoSamples * 2;
    EXPECT_GE(allocationcounter::LargestAllocation.load(), dataBytes);
    EXPECT_LT(allocationcounter::LargestAllocation.load(), dataBytes + dataBytes / 2) << "the data is not held twice";
}
