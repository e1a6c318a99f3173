// The build's resource generator on descriptions other than the program's own:
// what it accepts comes out in the block, what it refuses fails the build with
// the line named.

#include "platform/verres/winver.h"
#include "support/measuretoolrun.h"
#include "support/resfile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace {

using namespace versiontest;

const std::string Generator = std::string(QUIMBREL_BINARY_DIR) + "/resources/quimbrel_rcgen";

class RcGenTest : public ::testing::Test {
protected:
    void SetUp() override { FDir = TestDirForCurrentTest(QUIMBREL_BINARY_DIR); }

    // Runs the generator on Description; its exit status, with the block and messages kept.
    int Generate(const std::string& Description)
    {
        std::ofstream(FDir + "/version.txt", std::ios::trunc) << Description;
        const std::string command = BuiltProgramCommand(Generator) + " version '" + FDir + "/version.txt' '" + FDir + "/block.bin' '" +
                                    FDir + "/block.cpp' > '" + FDir + "/log' 2>&1";
        const int status = std::system(command.c_str());
        const std::vector<uint8_t> log = ReadBinaryFile(FDir + "/log");
        FLog.assign(log.begin(), log.end());
        if (status == 0) {
            const std::vector<uint8_t> raw = ReadBinaryFile(FDir + "/block.bin");
            FData.resize(GetVersionInfoSizeFromBlock(raw.data(), static_cast<uint32_t>(raw.size())));
            GetVersionInfoFromBlock(raw.data(), static_cast<uint32_t>(raw.size()), static_cast<uint32_t>(FData.size()), FData.data());
        }
        return status;
    }

    std::string String(const std::string& Path)
    {
        void* value = nullptr;
        uint32_t length = 0;
        return VerQueryValue(FData.data(), Path, &value, &length) ? static_cast<const char*>(value) : "<not found>";
    }

    std::string FDir;
    std::string FLog;
    std::vector<uint8_t> FData;
};

TEST_F(RcGenTest, AcceptedDescriptionComesOutInTheBlock)
{
    ASSERT_EQ(Generate("FILEVERSION 1.1.0.2  # a comment\n"
                       "PRODUCTVERSION 3\n"
                       "FILEFLAGS 0x3F\n"
                       "BLOCK \"040904B0\"\n  VALUE \"Quote\" \"say \\\"hi\\\" \\\\ # not a comment\"\nEND\n"
                       "BLOCK \"080904E4\"\n  VALUE \"Empty\" \"\"\nEND\n"
                       "TRANSLATION 0x0809 1252\nTRANSLATION 0x0409 0x04B0\n"), 0) << FLog;
    EXPECT_EQ(String("\\StringFileInfo\\040904B0\\Quote"), "say \"hi\" \\ # not a comment");
    EXPECT_EQ(String("\\StringFileInfo\\080904E4\\Empty"), "");
    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValue(FData.data(), "\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000002u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00030000u);
    EXPECT_EQ(fixed->dwFileFlags, 0x3Fu);
    ASSERT_TRUE(VerQueryValue(FData.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 8u);
    const auto* pairs = static_cast<const uint16_t*>(value);
    EXPECT_EQ(pairs[0], 0x0809);
    EXPECT_EQ(pairs[1], 1252);
    EXPECT_EQ(pairs[2], 0x0409);
    EXPECT_EQ(pairs[3], 0x04B0);
}

struct TRefusal {
    const char* Description;
    const char* Message;  // part of the message, with the line
};

const TRefusal Refusals[] = {
    {"FILEVERSION 1.2.3.4.5\nTRANSLATION 0 0\n", ":1: a version has at most four parts"},
    {"\nFILEVERSION 1.65536\nTRANSLATION 0 0\n", ":2: '65536' is not a number"},
    {"FILEVERSION 1..2\nTRANSLATION 0 0\n", ":1: '' is not a number"},
    {"FILEFLAGS -1\nTRANSLATION 0 0\n", ":1: '-1' is not a number"},
    {"BLOCK \"0809E4\"\nEND\nTRANSLATION 0 0\n", ":1: a string table is named by eight hex digits"},
    {"BLOCK \"080904E4\"\n VALUE \"A\" \"x\"\n VALUE \"A\" \"y\"\nEND\nTRANSLATION 0 0\n", ":3: key given twice"},
    {"BLOCK \"080904E4\"\n VALUE \"A\" \"open\nEND\n", ":2: string not closed on its line"},
    {"BLOCK \"080904E4\"\n VALUE \"A\" \"x\"\n", "expected VALUE or END"},
    {"FILEVERSION 1\n", "no TRANSLATION given"},
    {"TRANSLATION 0x10000 0\n", ":1: '0x10000' is not a number"},
    {"COLOUR 3\n", ":1: unknown statement: COLOUR"},
};

TEST_F(RcGenTest, RefusedDescriptionsNameTheirLine)
{
    for (const TRefusal& refusal : Refusals) {
        EXPECT_NE(Generate(refusal.Description), 0) << refusal.Description;
        EXPECT_NE(FLog.find(refusal.Message), std::string::npos) << refusal.Description << "\n" << FLog;
    }
}

} // namespace
