// The program's own version resource: embedded in the quimbrel executable with
// the project's version, readable by the version queries, by binutils' section
// copier and by the MinGW resource compiler.

#include "platform/verres/winver.h"
#include "support/resfile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sstream>

namespace {

using namespace versiontest;

const char* const Table = "\\StringFileInfo\\080904E4\\";

// The version the top-level CMakeLists.txt gives the project, as four parts.
std::vector<uint32_t> ProjectVersion(std::string& Text)
{
    std::ifstream in(std::string(QUIMBREL_SOURCE_DIR) + "/CMakeLists.txt");
    std::stringstream source;
    source << in.rdbuf();
    std::smatch match;
    const std::string text = source.str();
    if (!std::regex_search(text, match, std::regex(R"(project\(quimbrel\s+VERSION\s+([0-9.]+))")))
        return {};
    Text = match[1];
    std::vector<uint32_t> parts;
    std::stringstream dotted(Text);
    for (std::string part; std::getline(dotted, part, '.');)
        parts.push_back(static_cast<uint32_t>(std::stoul(part)));
    parts.resize(4, 0);
    return parts;
}

class OwnVersionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const uint32_t size = GetFileVersionInfoSize(QUIMBREL_EXE, nullptr);
        ASSERT_GT(size, 0u) << QUIMBREL_EXE << " carries no version block";
        FData.resize(size);
        ASSERT_TRUE(GetFileVersionInfo(QUIMBREL_EXE, 0, size, FData.data()));
    }

    std::string String(const std::string& Key)
    {
        void* value = nullptr;
        uint32_t length = 0;
        return VerQueryValue(FData.data(), Table + Key, &value, &length) ? static_cast<const char*>(value) : "<not found>";
    }

    std::vector<uint8_t> FData;
};

TEST_F(OwnVersionTest, StringsCarryTheProjectVersionAndTheCompany)
{
    std::string version;
    ASSERT_FALSE(ProjectVersion(version).empty());
    EXPECT_EQ(String("FileVersion"), version);
    EXPECT_EQ(String("ProductVersion"), version);
    EXPECT_EQ(String("CompanyName"), "Tamsvik");
    EXPECT_EQ(String("ProductName"), "Quimbrel");
    EXPECT_EQ(String("OriginalFilename"), "quimbrel");
    EXPECT_EQ(String("InternalName"), "quimbrel");
    for (const char* key : {"FileDescription", "LegalCopyright", "Comments", "Author", "Web site"})
        EXPECT_NE(String(key), "") << key;
    EXPECT_EQ(String("Web site").find("://"), std::string::npos) << "the address is kept without its scheme";
}

TEST_F(OwnVersionTest, FixedRecordCarriesTheProjectVersion)
{
    std::string version;
    const std::vector<uint32_t> parts = ProjectVersion(version);
    ASSERT_EQ(parts.size(), 4u);
    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValue(FData.data(), "\\", &value, &length));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed->dwFileVersionMS, (parts[0] << 16) | parts[1]);
    EXPECT_EQ(fixed->dwFileVersionLS, (parts[2] << 16) | parts[3]);
    EXPECT_EQ(fixed->dwProductVersionMS, (parts[0] << 16) | parts[1]);
    EXPECT_EQ(fixed->dwProductVersionLS, (parts[2] << 16) | parts[3]);
    EXPECT_EQ(fixed->dwFileFlags, 0u);
}

TEST_F(OwnVersionTest, FirstTranslationIsUkEnglishWesternEuropean)
{
    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValue(FData.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_GE(length, 4u);
    const auto* entry = static_cast<const uint16_t*>(value);
    EXPECT_EQ(entry[0], 0x0809);
    EXPECT_EQ(entry[1], 0x04E4);
}

// binutils finds the section on its own; its bytes are the block the queries read.
TEST_F(OwnVersionTest, SectionCopiedByObjcopyIsTheBlockRead)
{
    const std::string dir = FreshTestDir(QUIMBREL_BINARY_DIR, "ownversion_objcopy");
    const std::string out = dir + "/section.bin";
    const std::string command = std::string("objcopy -O binary --only-section=") + VersionInfoSectionName + " '" +
                                QUIMBREL_EXE + "' '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::vector<uint8_t> section = ReadBinaryFile(out);
    ASSERT_GE(section.size(), 2u);
    const size_t blockBytes = section[0] | (section[1] << 8);
    ASSERT_LE(blockBytes, section.size());
    ASSERT_LE(blockBytes, FData.size());
    EXPECT_TRUE(std::equal(section.begin(), section.begin() + static_cast<long>(blockBytes), FData.begin()));
}

// The resource compiler turns the block back into script text with our values.
TEST_F(OwnVersionTest, ResourceCompilerDecompilesTheBlock)
{
    const size_t blockBytes = FData[0] | (FData[1] << 8);
    const std::vector<uint8_t> block(FData.begin(), FData.begin() + static_cast<long>(blockBytes));
    const std::string script = DecompileRes(WrapVersionResource(block), FreshTestDir(QUIMBREL_BINARY_DIR, "ownversion_rc"));
    std::string version;
    ProjectVersion(version);
    std::string commas = version;
    for (size_t dot = commas.find('.'); dot != std::string::npos; dot = commas.find('.'))
        commas.replace(dot, 1, ", ");
    EXPECT_NE(script.find("FILEVERSION " + commas), std::string::npos) << script;
    EXPECT_NE(script.find("BLOCK \"080904E4\""), std::string::npos) << script;
    EXPECT_NE(script.find("VALUE \"CompanyName\", \"Tamsvik\""), std::string::npos) << script;
    EXPECT_NE(script.find("Copyright \\251 Tamsvik"), std::string::npos) << script;  // U+00A9 survived
    EXPECT_NE(script.find("VALUE \"FileVersion\", \"" + version + "\""), std::string::npos) << script;
    EXPECT_NE(script.find("VALUE \"Translation\", 0x809, 1252"), std::string::npos) << script;
}

} // namespace
