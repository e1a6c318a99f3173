// Version blocks compiled by the MinGW resource compiler, an independent writer of
// the layout, read back through the version queries.

#include "platform/verres/winver.h"
#include "support/resfile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace versiontest;

const std::string FullScript = UkEnglishVersionScript(R"rc(      VALUE "CompanyName", "Tamsvik"
      VALUE "FileVersion", "9.8.7.6 beta"
      VALUE "LegalCopyright", "Copyright © Tamsvik"
      VALUE "Web site", "www.tamsvik.example"
      VALUE "Outside the basic plane", "a😀b"
      VALUE "LegalTrademarks", ""
)rc");

const char* const TwoLanguagesScript = R"rc(1 VERSIONINFO
FILEVERSION 1,0,0,0
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904B0"
    BEGIN
      VALUE "ProductName", "Quimbrel (US)"
    END
    BLOCK "080904E4"
    BEGIN
      VALUE "ProductName", "Quimbrel (UK)"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x0809, 0x04E4, 0x0409, 0x04B0, 0x0407, 0x04E4
  END
END
)rc";

const char* const ZeroTranslationScript = R"rc(1 VERSIONINFO
FILEVERSION 1,0,0,0
BEGIN
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0, 0
  END
END
)rc";

class VersionOracleTest : public ::testing::Test {
protected:
    // Compiles Script and prepares its block for queries; false when either fails.
    bool Load(const std::string& Script)
    {
        const std::vector<uint8_t> raw = CompileVersionBlock(Script, TestDirForCurrentTest(QUIMBREL_BINARY_DIR));
        const uint32_t size = GetVersionInfoSizeFromBlock(raw.data(), static_cast<uint32_t>(raw.size()));
        if (raw.empty() || size == 0)
            return false;
        FData.assign(size, 0xCC);
        return GetVersionInfoFromBlock(raw.data(), static_cast<uint32_t>(raw.size()), size, FData.data());
    }

    std::string String(const std::string& Path)
    {
        void* value = nullptr;
        uint32_t length = 0;
        if (!VerQueryValue(FData.data(), Path, &value, &length))
            return "<not found>";
        EXPECT_EQ(length, std::strlen(static_cast<const char*>(value)) + 1) << Path;
        return static_cast<const char*>(value);
    }

    std::vector<uint32_t> Translations(uint16_t** Entries = nullptr)
    {
        void* value = nullptr;
        uint32_t length = 0;
        if (!VerQueryValue(FData.data(), "\\VarFileInfo\\Translation", &value, &length))
            return {};
        if (Entries)
            *Entries = static_cast<uint16_t*>(value);
        std::vector<uint32_t> pairs(length / sizeof(uint32_t));
        std::memcpy(pairs.data(), value, pairs.size() * sizeof(uint32_t));
        return pairs;
    }

    std::vector<uint8_t> FData;
};

struct TStringCase {
    const char* Path;
    const char* Expected;
};

const TStringCase FullStrings[] = {
    {"\\StringFileInfo\\080904E4\\CompanyName", "Tamsvik"},
    {"\\StringFileInfo\\080904E4\\FileVersion", "9.8.7.6 beta"},
    {"\\StringFileInfo\\080904E4\\LegalCopyright", "Copyright \u00A9 Tamsvik"},
    {"\\StringFileInfo\\080904E4\\Web site", "www.tamsvik.example"},
    {"\\StringFileInfo\\080904E4\\Outside the basic plane", "a\U0001F600b"},
    {"\\StringFileInfo\\080904E4\\LegalTrademarks", ""},
    {"\\StringFileInfo\\080904e4\\CompanyName", "Tamsvik"},       // hex digits in either case
    {"\\StringFileInfo\\080904E4\\ProductName", "<not found>"},   // a key the table lacks
    {"\\StringFileInfo\\040904E4\\CompanyName", "<not found>"},   // no fallback to another table
    {"\\StringFileInfo\\080904E4", "<not found>"},                // a table is not a string
    {"\\StringFileInfo", "<not found>"},
    {"\\StringFileInfo\\080904E4\\CompanyName\\More", "<not found>"},
};

TEST_F(VersionOracleTest, StringsReadBackAsWritten)
{
    ASSERT_TRUE(Load(FullScript));
    for (const TStringCase& c : FullStrings)
        EXPECT_EQ(String(c.Path), c.Expected) << c.Path;
}

TEST_F(VersionOracleTest, FixedRecordReadsBackAsWritten)
{
    ASSERT_TRUE(Load(FullScript));
    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValue(FData.data(), "\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010002u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00030004u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00050006u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00070008u);
    EXPECT_EQ(fixed->dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed->dwFileFlags, VS_FF_PATCHED | VS_FF_PRERELEASE);
    EXPECT_EQ(fixed->dwFileOS, 0x40004u);
    EXPECT_EQ(fixed->dwFileType, VFT_APP);
}

TEST_F(VersionOracleTest, TranslationReadsBackAsWritten)
{
    ASSERT_TRUE(Load(FullScript));
    EXPECT_EQ(Translations(), std::vector<uint32_t>{0x04E40809u});
}

TEST_F(VersionOracleTest, SeveralTranslationsKeepTheirOrderAndTablesTheirValues)
{
    ASSERT_TRUE(Load(TwoLanguagesScript));
    EXPECT_EQ(Translations(), (std::vector<uint32_t>{0x04E40809u, 0x04B00409u, 0x04E40407u}));
    EXPECT_EQ(String("\\StringFileInfo\\080904E4\\ProductName"), "Quimbrel (UK)");
    EXPECT_EQ(String("\\StringFileInfo\\040904B0\\ProductName"), "Quimbrel (US)");
    EXPECT_EQ(String("\\StringFileInfo\\040704E4\\ProductName"), "<not found>");
}

TEST_F(VersionOracleTest, ZeroTranslationIsReadAndCanBeRewrittenInPlace)
{
    ASSERT_TRUE(Load(ZeroTranslationScript));
    uint16_t* entries = nullptr;
    ASSERT_EQ(Translations(&entries), std::vector<uint32_t>{0u});
    const uint16_t usEnglish = 0x0409;
    const uint16_t westernEuropean = 0x04E4;
    std::memcpy(entries, &usEnglish, sizeof usEnglish);
    std::memcpy(entries + 1, &westernEuropean, sizeof westernEuropean);
    EXPECT_EQ(Translations(), std::vector<uint32_t>{0x04E40409u});
}

TEST_F(VersionOracleTest, TablesWithoutStringsStillGiveTheFixedRecord)
{
    ASSERT_TRUE(Load(ZeroTranslationScript));
    void* value = nullptr;
    uint32_t length = 0;
    EXPECT_TRUE(VerQueryValue(FData.data(), "\\", &value, &length));
    EXPECT_FALSE(VerQueryValue(FData.data(), "\\StringFileInfo\\040904E4\\CompanyName", &value, &length));
    EXPECT_EQ(value, nullptr);
    EXPECT_EQ(length, 0u);
}

} // namespace
