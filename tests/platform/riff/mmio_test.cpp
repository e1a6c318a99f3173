#include "platform/riff/mmio.h"
#include "support/riffbuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

using namespace riffbuilder;

namespace {

// Opens a file holding Bytes; closes it when the test ends.
class TOpenRiff {
public:
    explicit TOpenRiff(const std::string& Bytes, const std::string& Name = "riff.bin")
    {
        const std::string path = ScratchPath(Name);
        WriteFile(path, Bytes);
        File = mmioOpen(path);
    }
    ~TOpenRiff() { mmioClose(File); }
    HMMIO File = nullptr;
};

// Descends into the RIFF form Form; returns whether it was found.
bool FindForm(HMMIO File, MMCKINFO& Riff, const char* Form)
{
    Riff.fccType = mmioStringToFOURCC(Form);
    return mmioDescend(File, Riff, nullptr, MMIO_FINDRIFF) == MMSYSERR_NOERROR;
}

bool FindChunk(HMMIO File, MMCKINFO& Chunk, const MMCKINFO& Parent, const char* Id)
{
    Chunk.ckid = mmioStringToFOURCC(Id);
    return mmioDescend(File, Chunk, &Parent, MMIO_FINDCHUNK) == MMSYSERR_NOERROR;
}

std::string ReadAll(HMMIO File, int64_t Size)
{
    std::string data(static_cast<size_t>(Size), '\0');
    const int64_t got = mmioRead(File, data.data(), Size);
    data.resize(static_cast<size_t>(got < 0 ? 0 : got));
    return data;
}

} // namespace

TEST(Mmio, FourCCIsLittleEndianAndPaddedWithBlanks)
{
    EXPECT_EQ(mmioStringToFOURCC("RIFF"), 0x46464952u);
    EXPECT_EQ(mmioStringToFOURCC("fmt "), 0x20746D66u);
    EXPECT_EQ(mmioStringToFOURCC("fmt"), mmioStringToFOURCC("fmt "));
    EXPECT_EQ(mmioStringToFOURCC("datalong"), mmioStringToFOURCC("data"));
}

// Names are UTF-8 inside the program; on Windows a name outside the system's
// code page must still open, so it reaches the system as UTF-16.
TEST(Mmio, ANameOutsideAsciiOpensAsItIsSpelled)
{
    const std::filesystem::path file = std::filesystem::path(ScratchPath("")) / u8"\u0141ukasz \u6CE2.wav";
    std::ofstream(file, std::ios::binary) << "RIFF";
    const std::u8string spelled = file.u8string();
    const HMMIO opened = mmioOpen(std::string(spelled.begin(), spelled.end()));
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(ReadAll(opened, 4), "RIFF");
    mmioClose(opened);
}

TEST(Mmio, MissingFileAndUnsupportedFlagsGiveNoHandle)
{
    EXPECT_EQ(mmioOpen(ScratchPath("does-not-exist.wav")), nullptr);
    EXPECT_EQ(mmioOpen(ScratchPath("")), nullptr); // a folder
    WriteFile(ScratchPath("present.bin"), "RIFF");
    constexpr uint32_t WriteFlag = 0x0001;
    EXPECT_EQ(mmioOpen(ScratchPath("present.bin"), WriteFlag), nullptr);
}

TEST(Mmio, DescendFindsFormThenChunksAndReadsTheirData)
{
    TOpenRiff f(Riff("WAVE", Chunk("fmt ", "0123456789abcdef") + Chunk("data", "samples!")));
    ASSERT_NE(f.File, nullptr);
    MMCKINFO riff, fmt, data;
    ASSERT_TRUE(FindForm(f.File, riff, "WAVE"));
    EXPECT_EQ(riff.ckid, mmioStringToFOURCC("RIFF"));
    EXPECT_EQ(riff.dwDataOffset, 8u);
    ASSERT_TRUE(FindChunk(f.File, fmt, riff, "fmt "));
    EXPECT_EQ(fmt.cksize, 16u);
    EXPECT_EQ(fmt.dwDataOffset, 20u);
    EXPECT_EQ(ReadAll(f.File, 4), "0123");
    EXPECT_EQ(mmioAscend(f.File, fmt), MMSYSERR_NOERROR);
    ASSERT_TRUE(FindChunk(f.File, data, riff, "data"));
    EXPECT_EQ(data.cksize, 8u);
    EXPECT_EQ(mmioBytesRemaining(f.File), 8u);
    EXPECT_EQ(ReadAll(f.File, 100), "samples!");
    EXPECT_EQ(mmioBytesRemaining(f.File), 0u);
}

TEST(Mmio, SkippedOddChunksCountTheirPadByte)
{
    // "junk" holds 3 bytes and a pad byte; "odd " 1 byte and a pad byte.
    TOpenRiff f(Riff("WAVE", Chunk("junk", "abc") + Chunk("odd ", "x") + Chunk("data", "payload1")));
    MMCKINFO riff, data;
    ASSERT_TRUE(FindForm(f.File, riff, "WAVE"));
    ASSERT_TRUE(FindChunk(f.File, data, riff, "data"));
    EXPECT_EQ(ReadAll(f.File, 8), "payload1");
}

TEST(Mmio, AscendFromAnOddChunkLandsOnTheNextChunk)
{
    TOpenRiff f(Riff("WAVE", Chunk("fmt ", "12345") + Chunk("data", "ok")));
    MMCKINFO riff, fmt, data;
    ASSERT_TRUE(FindForm(f.File, riff, "WAVE"));
    ASSERT_TRUE(FindChunk(f.File, fmt, riff, "fmt "));
    mmioAscend(f.File, fmt);
    data.ckid = 0;
    ASSERT_EQ(mmioDescend(f.File, data, &riff, 0), MMSYSERR_NOERROR); // the chunk right here
    EXPECT_EQ(data.ckid, mmioStringToFOURCC("data"));
    EXPECT_EQ(ReadAll(f.File, 2), "ok");
}

TEST(Mmio, SearchSkipsOtherFormsAndTopLevelChunks)
{
    const std::string bytes = Chunk("junk", "zz") + Riff("AVI ", Chunk("data", "no")) +
                              Riff("WAVE", Chunk("data", "yes!"));
    TOpenRiff f(bytes);
    MMCKINFO riff, data;
    ASSERT_TRUE(FindForm(f.File, riff, "WAVE"));
    ASSERT_TRUE(FindChunk(f.File, data, riff, "data"));
    EXPECT_EQ(ReadAll(f.File, 4), "yes!");
}

TEST(Mmio, SearchStaysInsideTheParent)
{
    // "data" follows the RIFF chunk instead of being inside it.
    TOpenRiff f(Riff("WAVE", Chunk("fmt ", "f")) + Chunk("data", "outside"));
    MMCKINFO riff, data;
    ASSERT_TRUE(FindForm(f.File, riff, "WAVE"));
    EXPECT_FALSE(FindChunk(f.File, data, riff, "data"));
}

TEST(Mmio, SearchIsForwardOnly)
{
    TOpenRiff f(Riff("WAVE", Chunk("data", "early") + Chunk("fmt ", "f")));
    MMCKINFO riff, fmt, data;
    ASSERT_TRUE(FindForm(f.File, riff, "WAVE"));
    ASSERT_TRUE(FindChunk(f.File, fmt, riff, "fmt "));
    mmioAscend(f.File, fmt);
    EXPECT_FALSE(FindChunk(f.File, data, riff, "data"));
}

struct TLyingCase {
    const char* Name;
    std::string Bytes;
    bool FormFound;
    bool DataFound;
};

class MmioLyingSizes : public ::testing::TestWithParam<TLyingCase> {};

// Whatever the sizes claim, the search ends, and reads stay inside the file.
TEST_P(MmioLyingSizes, SearchEndsWithTheExpectedAnswer)
{
    const TLyingCase& c = GetParam();
    TOpenRiff f(c.Bytes);
    ASSERT_NE(f.File, nullptr);
    MMCKINFO riff, data;
    ASSERT_EQ(FindForm(f.File, riff, "WAVE"), c.FormFound);
    if (!c.FormFound)
        return;
    ASSERT_EQ(FindChunk(f.File, data, riff, "data"), c.DataFound);
    if (c.DataFound) {
        EXPECT_EQ(ReadAll(f.File, 64), "xy");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MmioLyingSizes,
    ::testing::Values(
        TLyingCase{"Empty", "", false, false},
        TLyingCase{"HalfHeader", "RIFF\x10", false, false},
        TLyingCase{"NoFormType", ChunkDeclaring("RIFF", 2, "WA"), false, false},
        TLyingCase{"RiffPastEnd", ChunkDeclaring("RIFF", 0xFFFFFFF0u, "WAVE" + Chunk("junk", "1234")), true, false},
        TLyingCase{"RiffPastEndWithData", ChunkDeclaring("RIFF", 0xFFFFFFF0u, "WAVE" + Chunk("data", "xy")), true,
                   true},
        TLyingCase{"ChunkPastEnd", Riff("WAVE", ChunkDeclaring("junk", 0xFFFFFFF0u, "abcd") + Chunk("data", "xy")),
                   true, false},
        TLyingCase{"ChunkPastParent",
                   ChunkDeclaring("RIFF", 16, "WAVE" + ChunkDeclaring("junk", 400, "abcd") + Chunk("data", "xy")),
                   true, false},
        TLyingCase{"HeaderPastParent", ChunkDeclaring("RIFF", 8, "WAVE" + Chunk("data", "xy")), true, false}),
    [](const ::testing::TestParamInfo<TLyingCase>& Info) { return std::string(Info.param.Name); });

TEST(Mmio, AChunkLargerThanTheFileIsFoundButTheBytesLeftAreTheTruth)
{
    TOpenRiff f(Riff("WAVE", ChunkDeclaring("data", 0xFFFFFFF0u, "only12bytes!")));
    MMCKINFO riff, data;
    ASSERT_TRUE(FindForm(f.File, riff, "WAVE"));
    ASSERT_TRUE(FindChunk(f.File, data, riff, "data"));
    EXPECT_EQ(data.cksize, 0xFFFFFFF0u);
    EXPECT_EQ(mmioBytesRemaining(f.File), 12u);
    EXPECT_EQ(ReadAll(f.File, 64), "only12bytes!");
    // Ascending past the end of the file leaves nothing to find.
    mmioAscend(f.File, data);
    EXPECT_EQ(mmioBytesRemaining(f.File), 0u);
    EXPECT_FALSE(FindChunk(f.File, data, riff, "data"));
}

TEST(Mmio, BadHandlesAreRefused)
{
    MMCKINFO chunk;
    char byte = 0;
    EXPECT_EQ(mmioDescend(nullptr, chunk, nullptr, MMIO_FINDRIFF), MMIOERR_INVALIDHANDLE);
    EXPECT_EQ(mmioRead(nullptr, &byte, 1), -1);
    EXPECT_EQ(mmioAscend(nullptr, chunk), MMIOERR_INVALIDHANDLE);
    EXPECT_EQ(mmioClose(nullptr), MMIOERR_INVALIDHANDLE);
    EXPECT_EQ(mmioBytesRemaining(nullptr), 0u);
}
