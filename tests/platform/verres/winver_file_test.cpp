// Version blocks read from ELF files by name: a well-formed file, files without
// the section, files that are not 64-bit little-endian ELF, and damaged headers.

#include "platform/verres/versionblockwriter.h"
#include "platform/verres/winver.h"
#include "support/elfimage.h"
#include "support/resfile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace {

using namespace versiontest;

constexpr size_t VersionSectionIndex = 2;  // after the null section and ".text"
const char* const CompanyPath = "\\StringFileInfo\\080904E4\\CompanyName";

std::vector<uint8_t> SampleBlock()
{
    TVersionResource resource;
    resource.Fixed = TVersionBlockWriter::MakeFixed(0x00010001, 0x00000002, 0x00010001, 0x00000002);
    resource.Tables.push_back({"080904E4", {{"CompanyName", "Tamsvik"}}});
    resource.Translations = {{0x0809, 0x04E4}};
    return TVersionBlockWriter::Build(resource);
}

std::vector<uint8_t> SampleElf(const std::string& SectionName = VersionInfoSectionName)
{
    return BuildElf({{".text", {0x90, 0x90, 0xC3}}, {SectionName, SampleBlock()}, {".data", {1, 2, 3, 4}}});
}

class VersionFileTest : public ::testing::Test {
protected:
    void SetUp() override { FDir = TestDirForCurrentTest(QUIMBREL_BINARY_DIR); }

    std::string Write(const std::vector<uint8_t>& Bytes, const std::string& Name = "file")
    {
        const std::string path = FDir + "/" + Name;
        WriteBinaryFile(path, Bytes);
        return path;
    }

    static uint32_t Size(const std::string& Path)
    {
        uint32_t handle = 77;
        const uint32_t size = GetFileVersionInfoSize(Path, &handle);
        EXPECT_EQ(handle, 0u);
        return size;
    }

    std::string FDir;
};

TEST_F(VersionFileTest, SectionIsFoundAndRead)
{
    const std::string path = Write(SampleElf());
    const uint32_t size = Size(path);
    ASSERT_GT(size, SampleBlock().size());
    std::vector<uint8_t> data(size);
    ASSERT_TRUE(GetFileVersionInfo(path, 0, size, data.data()));
    const std::vector<uint8_t> block = SampleBlock();
    EXPECT_TRUE(std::equal(block.begin(), block.end(), data.begin()));
    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValue(data.data(), CompanyPath, &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "Tamsvik");
}

TEST_F(VersionFileTest, TooSmallBufferIsZeroFilled)
{
    const std::string path = Write(SampleElf());
    const uint32_t size = Size(path);
    std::vector<uint8_t> data(size, 0xCC);
    EXPECT_FALSE(GetFileVersionInfo(path, 0, size - 4, data.data()));
    EXPECT_TRUE(std::all_of(data.begin(), data.end() - 4, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(data.back(), 0xCC);  // nothing written past the given length
}

struct TFileCase {
    const char* Name;
    std::vector<uint8_t> (*Make)();
};

std::vector<uint8_t> NoSection() { return BuildElf({{".text", {0xC3}}}); }
std::vector<uint8_t> LongerName() { return SampleElf(std::string(VersionInfoSectionName) + "2"); }
std::vector<uint8_t> ShorterName() { return SampleElf(".quimbrel_version"); }
std::vector<uint8_t> NotElf() { return {'h', 'e', 'l', 'l', 'o', '\n'}; }
std::vector<uint8_t> Empty() { return {}; }
std::vector<uint8_t> HeaderOnly() { std::vector<uint8_t> f = SampleElf(); f.resize(64); return f; }
std::vector<uint8_t> Elf32() { std::vector<uint8_t> f = SampleElf(); f[ElfClassAt] = 1; return f; }
std::vector<uint8_t> BigEndian() { std::vector<uint8_t> f = SampleElf(); f[ElfDataAt] = 2; return f; }
std::vector<uint8_t> TableOutside() { std::vector<uint8_t> f = SampleElf(); PatchLittle(f, ElfSectionTableAt, 1u << 30, 8); return f; }
std::vector<uint8_t> TableHuge() { std::vector<uint8_t> f = SampleElf(); PatchLittle(f, ElfSectionTableAt, ~0ull - 8, 8); return f; }
std::vector<uint8_t> NamesOutOfRange() { std::vector<uint8_t> f = SampleElf(); PatchLittle(f, ElfNameIndexAt, 40, 2); return f; }
std::vector<uint8_t> CountPastTable() { std::vector<uint8_t> f = SampleElf(); PatchLittle(f, ElfSectionCountAt, 0xFFFE, 2); PatchLittle(f, ElfNameIndexAt, 0xFFFD, 2); return f; }

std::vector<uint8_t> PatchedSection(size_t Field, uint64_t Value)
{
    std::vector<uint8_t> f = SampleElf();
    PatchLittle(f, ElfSectionHeaderAt(f, VersionSectionIndex) + Field, Value, Field == ElfSectionNameAt ? 4 : 8);
    return f;
}
std::vector<uint8_t> ContentsOutside() { return PatchedSection(ElfSectionOffsetAt, 1u << 30); }
std::vector<uint8_t> ContentsWrap() { return PatchedSection(ElfSectionOffsetAt, ~0ull - 2); }
std::vector<uint8_t> SizeOutside() { return PatchedSection(ElfSectionSizeAt, 1u << 30); }
std::vector<uint8_t> NameOutside() { return PatchedSection(ElfSectionNameAt, 0xFFFFFF); }
std::vector<uint8_t> NoBits()
{
    return BuildElf({{".text", {0xC3}}, {VersionInfoSectionName, SampleBlock(), ElfNoBits}});
}
std::vector<uint8_t> DamagedBlock()
{
    std::vector<uint8_t> block = SampleBlock();
    block[0] = 0xFF;  // the root claims more bytes than the section has
    block[1] = 0xFF;
    return BuildElf({{VersionInfoSectionName, block}});
}
std::vector<uint8_t> CutShort() { std::vector<uint8_t> f = SampleElf(); f.resize(f.size() - 100); return f; }

const TFileCase FilesWithoutVersion[] = {
    {"no version section", NoSection},
    {"a longer section name", LongerName},
    {"a shorter section name", ShorterName},
    {"not ELF", NotElf},
    {"empty", Empty},
    {"only the ELF header", HeaderOnly},
    {"64-bit ELF marked 32-bit", Elf32},
    {"big-endian ELF", BigEndian},
    {"section table past the end", TableOutside},
    {"section table offset near 2^64", TableHuge},
    {"name table index out of range", NamesOutOfRange},
    {"section count past the table", CountPastTable},
    {"contents past the end", ContentsOutside},
    {"contents offset near 2^64", ContentsWrap},
    {"size past the end", SizeOutside},
    {"name offset past the name table", NameOutside},
    {"section without file data", NoBits},
    {"root longer than the section", DamagedBlock},
    {"file cut short", CutShort},
};

TEST_F(VersionFileTest, FilesWithoutUsableVersionHaveSizeZero)
{
    for (const TFileCase& c : FilesWithoutVersion) {
        const std::string path = Write(c.Make(), "case");
        EXPECT_EQ(Size(path), 0u) << c.Name;
        std::vector<uint8_t> data(64, 0xCC);
        EXPECT_FALSE(GetFileVersionInfo(path, 0, static_cast<uint32_t>(data.size()), data.data())) << c.Name;
    }
}

TEST_F(VersionFileTest, MissingFileAndFolderHaveSizeZero)
{
    EXPECT_EQ(Size(FDir + "/does-not-exist"), 0u);
    EXPECT_EQ(Size(FDir), 0u);
    EXPECT_EQ(Size(""), 0u);
}

TEST_F(VersionFileTest, UnreadableFileHasSizeZero)
{
    EXPECT_EQ(Size("/proc/self/mem"), 0u);  // opens, but reading its first bytes fails, even for root
}

} // namespace
