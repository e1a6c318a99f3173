// Version resources compiled by the MinGW resource compiler from script text,
// placed in an ELF file and read through the version-information component:
// its values must be the ones the script wrote.

#include "support/resfile.h"
#include "support/versionfiles.h"
#include "versinfo/versinforesource.h"

#include <gtest/gtest.h>

namespace {

using namespace versiontest;

const std::string FullScript = UkEnglishVersionScript(R"rc(      VALUE "CompanyName", "Tamsvik"
      VALUE "FileDescription", "Stereo audio level meter"
      VALUE "InternalName", "quimbrel"
      VALUE "LegalCopyright", "Copyright © Tamsvik"
      VALUE "LegalTrademarks", ""
      VALUE "OriginalFilename", "quimbrel"
      VALUE "ProductName", "Quimbrel"
      VALUE "ProductVersion", "5.6 (seven)"
      VALUE "Comments", "Level setting"
      VALUE "Web site", "www.tamsvik.example"
)rc");

const char* const ThreeLanguagesScript = R"rc(1 VERSIONINFO
FILEVERSION 2,0,0,1
FILEFLAGS 0x3F
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904B0"
    BEGIN
      VALUE "ProductName", "Quimbrel (US)"
      VALUE "FileVersion", "2.0 US"
    END
    BLOCK "080904E4"
    BEGIN
      VALUE "ProductName", "Quimbrel (UK)"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0x0409, 0x04B0, 0x0809, 0x04E4, 0x0407, 0x04E4
  END
END
)rc";

const char* const ZeroTranslationScript = R"rc(1 VERSIONINFO
FILEVERSION 3,0,0,0
BEGIN
  BLOCK "StringFileInfo"
  BEGIN
    BLOCK "040904E4"
    BEGIN
      VALUE "ProductName", "Quimbrel (neutral)"
    END
  END
  BLOCK "VarFileInfo"
  BEGIN
    VALUE "Translation", 0, 0
  END
END
)rc";

class VersionInfoOracleTest : public ::testing::Test {
protected:
    // The compiled script's block, read by a fresh component.
    std::unique_ptr<TVersionInfoResource> Compile(const std::string& Script)
    {
        const std::string dir = TestDirForCurrentTest(QUIMBREL_BINARY_DIR);
        const std::vector<uint8_t> block = CompileVersionBlock(Script, dir);
        auto reader = std::make_unique<TVersionInfoResource>(nullptr);
        reader->SetFilename(WriteVersionElf(dir, "compiled", block));
        return reader;
    }
};

TEST_F(VersionInfoOracleTest, ValuesAreTheScriptsOwn)
{
    const auto reader = Compile(FullScript);
    EXPECT_EQ(reader->Translations(), (std::vector<std::string>{"080904E4"}));
    EXPECT_EQ(reader->CompanyName(), "Tamsvik");
    EXPECT_EQ(reader->FileDescription(), "Stereo audio level meter");
    EXPECT_EQ(reader->InternalName(), "quimbrel");
    EXPECT_EQ(reader->LegalCopyright(), "Copyright \u00A9 Tamsvik");
    EXPECT_EQ(reader->LegalTrademarks(), "");
    EXPECT_EQ(reader->OriginalFilename(), "quimbrel");
    EXPECT_EQ(reader->ProductName(), "Quimbrel");
    EXPECT_EQ(reader->Comments(), "Level setting");
    EXPECT_EQ(reader->GetVersionString("Web site"), "www.tamsvik.example");
    EXPECT_EQ(reader->FileVersionNumber().AsString(), "1.2.3.4") << "no FileVersion string: the record's numbers";
    EXPECT_EQ(reader->ProductVersionNumber().AsString(), "5.6 (seven)");
    EXPECT_EQ(reader->ProductVersionNumber().GetPart(3), 8);
    EXPECT_EQ(reader->GetBuildFlagsText(), "Patched, Pre-Release");
}

TEST_F(VersionInfoOracleTest, FirstListedTranslationIsUsed)
{
    const auto reader = Compile(ThreeLanguagesScript);
    EXPECT_EQ(reader->Translations(), (std::vector<std::string>{"040904B0", "080904E4", "040704E4"}));
    EXPECT_EQ(reader->ProductName(), "Quimbrel (US)");
    EXPECT_EQ(reader->FileVersionNumber().AsString(), "2.0 US");
    EXPECT_EQ(reader->GetBuildFlagsText(), "Debug, Info Inferred, Patched, Pre-Release, Private, Special");
}

TEST_F(VersionInfoOracleTest, ZeroTranslationMeansUsEnglishWestern)
{
    const auto reader = Compile(ZeroTranslationScript);
    EXPECT_EQ(reader->Translations(), (std::vector<std::string>{"040904E4"}));
    EXPECT_EQ(reader->ProductName(), "Quimbrel (neutral)");
    EXPECT_EQ(reader->FileVersionNumber().AsString(), "3.0.0.0");
    EXPECT_EQ(reader->GetBuildFlagsText(), "");
}

} // namespace
