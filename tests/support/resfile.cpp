#include "support/resfile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace versiontest {

namespace {

constexpr uint32_t AlignmentBytes = 4;
constexpr uint16_t OrdinalMarker = 0xFFFF;  // an id follows instead of a name
constexpr uint16_t VersionType = 16;        // RT_VERSION
constexpr uint32_t PrefixBytes = 8;         // DataSize, HeaderSize
constexpr uint32_t EmptyEntryBytes = 32;    // the empty entry that opens a .res file
constexpr uint16_t MemoryFlags = 0x30;      // moveable, pure
constexpr uint16_t UsEnglish = 0x0409;
constexpr const char* Compiler = "x86_64-w64-mingw32-windres";

// The parts of UkEnglishVersionScript around its string values.
constexpr const char* UkEnglishScriptHead = R"rc(#pragma code_page(65001)
1 VERSIONINFO
FILEVERSION 1,2,3,4
PRODUCTVERSION 5,6,7,8
FILEFLAGSMASK 0x3F
FILEFLAGS 0x06
FILEOS 0x40004
FILETYPE 0x1
FILESUBTYPE 0x0
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "080904E4"
    BEGIN
)rc";
constexpr const char* UkEnglishScriptTail = R"rc(    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x0809, 0x04E4
  END
END
)rc";

uint32_t Align(uint32_t Offset) { return (Offset + AlignmentBytes - 1) & ~(AlignmentBytes - 1); }

uint32_t Get(const std::vector<uint8_t>& Bytes, size_t At, size_t Count)
{
    uint32_t value = 0;
    for (size_t i = Count; i-- > 0;)
        value = (value << 8) | Bytes[At + i];
    return value;
}

void Put(std::vector<uint8_t>& Out, uint32_t Value, size_t Count)
{
    for (size_t i = 0; i < Count; ++i)
        Out.push_back(static_cast<uint8_t>(Value >> (8 * i)));
}

void PutEntryHeader(std::vector<uint8_t>& Out, uint32_t DataSize, uint16_t Type, uint16_t Name, uint16_t Flags, uint16_t Language)
{
    Put(Out, DataSize, 4);
    Put(Out, EmptyEntryBytes, 4);  // header size: ordinal type and name
    Put(Out, OrdinalMarker, 2);
    Put(Out, Type, 2);
    Put(Out, OrdinalMarker, 2);
    Put(Out, Name, 2);
    Put(Out, 0, 4);  // DataVersion
    Put(Out, Flags, 2);
    Put(Out, Language, 2);
    Put(Out, 0, 4);  // Version
    Put(Out, 0, 4);  // Characteristics
}

int Run(const std::string& Command)
{
    return std::system(Command.c_str());
}

} // namespace

std::vector<uint8_t> ReadBinaryFile(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBinaryFile(const std::string& Path, const std::vector<uint8_t>& Bytes)
{
    std::ofstream out(Path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
}

std::string FreshTestDir(const std::string& Root, const std::string& Name)
{
    const auto dir = std::filesystem::path(Root) / "testdata" / Name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir.string();
}

std::string TestDirForCurrentTest(const std::string& Root)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name)
        if (c == '/')
            c = '_';
    return FreshTestDir(Root, name);
}

std::vector<uint8_t> CompileRc(const std::string& RcText, const std::string& WorkDir)
{
    const std::string rc = WorkDir + "/version.rc";
    const std::string res = WorkDir + "/version.res";
    std::ofstream(rc, std::ios::trunc) << RcText;
    std::filesystem::remove(res);
    // The host's C preprocessor stands in for the cross compiler's.
    const int status = Run(std::string(Compiler) + " --preprocessor=cpp -J rc -O res -i '" + rc + "' -o '" + res +
                           "' > '" + WorkDir + "/windres.log' 2>&1");
    EXPECT_EQ(status, 0) << "the resource compiler failed; see " << WorkDir << "/windres.log";
    return status == 0 ? ReadBinaryFile(res) : std::vector<uint8_t>();
}

std::vector<uint8_t> CompileVersionBlock(const std::string& RcText, const std::string& WorkDir)
{
    std::vector<uint8_t> block = ExtractVersionResource(CompileRc(RcText, WorkDir));
    EXPECT_FALSE(block.empty()) << "no version resource compiled in " << WorkDir;
    return block;
}

std::string UkEnglishVersionScript(const std::string& ValueLines)
{
    return UkEnglishScriptHead + ValueLines + UkEnglishScriptTail;
}

std::string DecompileRes(const std::vector<uint8_t>& Res, const std::string& WorkDir)
{
    const std::string res = WorkDir + "/block.res";
    const std::string rc = WorkDir + "/block.rc";
    WriteBinaryFile(res, Res);
    std::filesystem::remove(rc);
    if (Run(std::string(Compiler) + " -J res -O rc -i '" + res + "' -o '" + rc + "' 2>/dev/null") != 0)
        return std::string();
    const std::vector<uint8_t> text = ReadBinaryFile(rc);
    return std::string(text.begin(), text.end());
}

std::vector<uint8_t> ExtractVersionResource(const std::vector<uint8_t>& Res)
{
    size_t at = 0;
    while (at + PrefixBytes <= Res.size()) {
        const uint32_t dataSize = Get(Res, at, 4);
        const uint32_t headerSize = Get(Res, at + 4, 4);
        if (headerSize < PrefixBytes + 4 || headerSize > Res.size() - at || dataSize > Res.size() - at - headerSize)
            return {};
        const bool isVersion = Get(Res, at + 8, 2) == OrdinalMarker && Get(Res, at + 10, 2) == VersionType;
        const size_t data = at + headerSize;
        if (isVersion)
            return std::vector<uint8_t>(Res.begin() + static_cast<long>(data), Res.begin() + static_cast<long>(data + dataSize));
        at = Align(static_cast<uint32_t>(data + dataSize));
    }
    return {};
}

std::vector<uint8_t> WrapVersionResource(const std::vector<uint8_t>& Block)
{
    std::vector<uint8_t> res;
    PutEntryHeader(res, 0, 0, 0, 0, 0);
    PutEntryHeader(res, static_cast<uint32_t>(Block.size()), VersionType, 1, MemoryFlags, UsEnglish);
    res.insert(res.end(), Block.begin(), Block.end());
    while (res.size() % AlignmentBytes != 0)
        res.push_back(0);
    return res;
}

} // namespace versiontest
