// The version-information component over blocks written by the block writer
// into small ELF files: string values, translations, version numbers, build
// flags, files without version information, and re-reading.

#include "platform/forms/application.h"
#include "platform/verres/versionblockwriter.h"
#include "platform/verres/winver.h"
#include "support/resfile.h"
#include "support/versionfiles.h"
#include "versinfo/versinforesource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

namespace {

using namespace versiontest;

constexpr uint32_t Version1102MS = 0x00010001; // 1.1
constexpr uint32_t Version1102LS = 0x00000002; // 0.2

TVersionResource FullResource()
{
    TVersionResource resource;
    resource.Fixed = TVersionBlockWriter::MakeFixed(Version1102MS, Version1102LS, 0x00020003, 0x00040005);
    resource.Tables.push_back({"080904E4",
                               {{"CompanyName", "Tamsvik"},
                                {"FileDescription", "Stereo audio level meter"},
                                {"InternalName", "quimbrel"},
                                {"LegalCopyright", "Copyright \u00A9 Tamsvik"},
                                {"LegalTrademarks", "Quimbrel\u2122"},
                                {"OriginalFilename", "quimbrel"},
                                {"ProductName", "Quimbrel"},
                                {"Comments", "For weather satellites"},
                                {"Web site", "www.tamsvik.example"}}});
    resource.Translations = {{{0x0809, 0x04E4}}};
    return resource;
}

class VersionInfoResourceTest : public ::testing::Test {
protected:
    void SetUp() override { FDir = TestDirForCurrentTest(QUIMBREL_BINARY_DIR); }

    std::string Write(const TVersionResource& Resource, const std::string& Name = "program")
    {
        return WriteResourceElf(FDir, Name, Resource);
    }

    // A reader of Resource's file.
    std::unique_ptr<TVersionInfoResource> Read(const TVersionResource& Resource)
    {
        auto reader = std::make_unique<TVersionInfoResource>(nullptr);
        reader->SetFilename(Write(Resource));
        return reader;
    }

    std::string FDir;
};

TEST_F(VersionInfoResourceTest, CreatedWithNothingRead)
{
    const TVersionInfoResource reader(nullptr);
    EXPECT_EQ(reader.VersionData(), nullptr);
    EXPECT_EQ(reader.VersionDataSize(), 0u);
    EXPECT_EQ(reader.Filename(), "");
    EXPECT_FALSE(reader.ForceEXE());
    EXPECT_TRUE(reader.Translations().empty());
    EXPECT_EQ(reader.TranslationIndex(), 0);
    EXPECT_FALSE(reader.FileVersionNumber().Valid());
    EXPECT_FALSE(reader.ProductVersionNumber().Valid());
    EXPECT_EQ(reader.FileVersionNumber().MS(), 0u);
    EXPECT_EQ(reader.ShowResource(), AllPreDefs);
    EXPECT_EQ(reader.CompanyName(), "");
    EXPECT_EQ(reader.ProductName(), "");
    EXPECT_EQ(reader.FixedInfo().FixedRecord(), nullptr);
    EXPECT_EQ(reader.VersionLabel(), nullptr);
    EXPECT_EQ(reader.CopyrightLabel(), nullptr);
    EXPECT_EQ(reader.ProductLabel(), nullptr);
    EXPECT_EQ(reader.DescriptionLabel(), nullptr);
    EXPECT_EQ(reader.VersionListView(), nullptr);
}

TEST_F(VersionInfoResourceTest, VersionIsFixed)
{
    TVersionInfoResource reader(nullptr);
    EXPECT_EQ(reader.Version(), "TVersionInfoResource v2.35");
    reader.SetVersion("v9");
    EXPECT_EQ(reader.Version(), "TVersionInfoResource v2.35");
}

TEST_F(VersionInfoResourceTest, TargetIsTheFilenameOrTheRunningProgram)
{
    TVersionInfoResource reader(nullptr);
    EXPECT_EQ(reader.GetTargetFileName(), Application.ExeName());
    reader.SetForceEXE(true);
    EXPECT_EQ(reader.GetTargetFileName(), Application.ExeName());
    const std::string path = Write(FullResource());
    reader.SetFilename(path);
    EXPECT_EQ(reader.GetTargetFileName(), path);
}

TEST_F(VersionInfoResourceTest, StringPropertiesReadTheirKeys)
{
    const auto reader = Read(FullResource());
    EXPECT_EQ(reader->CompanyName(), "Tamsvik");
    EXPECT_EQ(reader->FileDescription(), "Stereo audio level meter");
    EXPECT_EQ(reader->InternalName(), "quimbrel");
    EXPECT_EQ(reader->LegalCopyright(), "Copyright \u00A9 Tamsvik");
    EXPECT_EQ(reader->LegalTrademarks(), "Quimbrel\u2122");
    EXPECT_EQ(reader->OriginalFilename(), "quimbrel");
    EXPECT_EQ(reader->ProductName(), "Quimbrel");
    EXPECT_EQ(reader->Comments(), "For weather satellites");
    EXPECT_EQ(reader->GetVersionString("Web site"), "www.tamsvik.example");
    EXPECT_EQ(reader->GetVersionString("Author"), "") << "a key the table lacks";
    EXPECT_EQ(reader->GetPreDefValue(pdCompanyName), "Tamsvik");
    EXPECT_EQ(reader->GetPreDefValue(-1), "");
    EXPECT_EQ(reader->GetPreDefValue(PreDefCount), "");
    EXPECT_NE(reader->VersionData(), nullptr);
    EXPECT_GT(reader->VersionDataSize(), 0u);
}

TEST_F(VersionInfoResourceTest, VersionNumbersFromTheFixedRecord)
{
    const auto reader = Read(FullResource());
    EXPECT_TRUE(reader->FileVersionNumber().Valid());
    EXPECT_EQ(reader->FileVersionNumber().AsString(), "1.1.0.2");
    EXPECT_EQ(reader->FileVersionNumber().Text(), "");
    EXPECT_EQ(reader->ProductVersionNumber().AsString(), "2.3.4.5");
    EXPECT_EQ(reader->FixedInfo().FileVersionMS(), Version1102MS);
}

TEST_F(VersionInfoResourceTest, FileVersionStringWinsOverTheFixedRecord)
{
    TVersionResource resource = FullResource();
    resource.Tables[0].Values.push_back({"FileVersion", "7.0 beta"});
    resource.Tables[0].Values.push_back({"ProductVersion", "2024.1"});
    const auto reader = Read(resource);
    EXPECT_EQ(reader->FileVersionNumber().AsString(), "7.0 beta");
    EXPECT_EQ(reader->FileVersionNumber().GetPart(0), 1) << "the parts still come from the record";
    EXPECT_EQ(reader->ProductVersionNumber().AsString(), "2024.1");
}

TEST_F(VersionInfoResourceTest, EmptyFileVersionStringGivesTheFixedNumbers)
{
    TVersionResource resource = FullResource();
    resource.Tables[0].Values.push_back({"FileVersion", ""});
    EXPECT_EQ(Read(resource)->FileVersionNumber().AsString(), "1.1.0.2");
}

TEST_F(VersionInfoResourceTest, TranslationsListedInOrderAndTheFirstUsed)
{
    TVersionResource resource = FullResource();
    resource.Tables.push_back({"040904B0", {{"ProductName", "Quimbrel (US)"}}});
    resource.Translations = {{{0x0809, 0x04E4}, {0x0409, 0x04B0}, {0x0407, 0x04E4}}};
    auto reader = Read(resource);
    EXPECT_EQ(reader->Translations(), (std::vector<std::string>{"080904E4", "040904B0", "040704E4"}));
    EXPECT_EQ(reader->TranslationIndex(), 0);
    EXPECT_EQ(reader->ProductName(), "Quimbrel");

    resource.Translations = {{{0x0409, 0x04B0}, {0x0809, 0x04E4}}};
    reader = Read(resource);
    EXPECT_EQ(reader->ProductName(), "Quimbrel (US)");
    EXPECT_EQ(reader->CompanyName(), "") << "no fallback to another translation";
}

TEST_F(VersionInfoResourceTest, ZeroLanguageAndCodePageStandForUsEnglishWestern)
{
    TVersionResource resource = FullResource();
    resource.Tables = {{"040904E4", {{"ProductName", "Quimbrel (default)"}}}};
    resource.Translations = {{{0, 0}, {0x0809, 0}, {0, 0x04B0}}};
    const auto reader = Read(resource);
    EXPECT_EQ(reader->Translations(), (std::vector<std::string>{"040904E4", "080904E4", "040904B0"}));
    EXPECT_EQ(reader->ProductName(), "Quimbrel (default)");
    // The entries are replaced in the block itself.
    void* value = nullptr;
    uint32_t length = 0;
    ASSERT_TRUE(VerQueryValue(reader->VersionData(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 12u);
    uint16_t entries[6];
    std::memcpy(entries, value, sizeof(entries));
    EXPECT_EQ(entries[0], 0x0409);
    EXPECT_EQ(entries[1], 0x04E4);
    EXPECT_EQ(entries[2], 0x0809);
    EXPECT_EQ(entries[3], 0x04E4);
    EXPECT_EQ(entries[4], 0x0409);
    EXPECT_EQ(entries[5], 0x04B0);
}

TEST_F(VersionInfoResourceTest, WithoutTranslationTheUsEnglishTableIsRead)
{
    TVersionResource resource = FullResource();
    resource.Tables.push_back({"040904E4", {{"ProductName", "Quimbrel (default)"}}});
    resource.Translations.reset();
    const auto reader = Read(resource);
    EXPECT_TRUE(reader->Translations().empty());
    EXPECT_EQ(reader->ProductName(), "Quimbrel (default)");
}

// A Translation value of the given bytes, after the usual string table.
std::vector<uint8_t> BlockWithTranslationBytes(const std::vector<uint8_t>& Value)
{
    TVersionBlockWriter writer;
    writer.BeginBinary("VS_VERSION_INFO", TVersionBlockWriter::FixedBytes(
                                              TVersionBlockWriter::MakeFixed(Version1102MS, Version1102LS, 0, 0)));
    writer.BeginGroup("StringFileInfo");
    writer.BeginGroup("040904E4");
    writer.AddText("ProductName", "US table");
    writer.EndNode();
    writer.BeginGroup("080904E4");
    writer.AddText("ProductName", "UK table");
    writer.EndNode();
    writer.EndNode();
    writer.BeginGroup("VarFileInfo");
    writer.AddBinary("Translation", Value);
    writer.EndNode();
    writer.EndNode();
    return writer.Bytes();
}

TEST_F(VersionInfoResourceTest, ShortTranslationValueListsNothing)
{
    TVersionInfoResource reader(nullptr);
    reader.SetFilename(WriteVersionElf(FDir, "short", BlockWithTranslationBytes({0x09, 0x08})));
    EXPECT_TRUE(reader.Translations().empty());
    EXPECT_EQ(reader.ProductName(), "US table");
    EXPECT_EQ(reader.FileVersionNumber().AsString(), "1.1.0.2");
}

TEST_F(VersionInfoResourceTest, OnlyWholeTranslationEntriesCount)
{
    TVersionInfoResource reader(nullptr);
    reader.SetFilename(WriteVersionElf(FDir, "ragged", BlockWithTranslationBytes({0x09, 0x08, 0xE4, 0x04, 0x09, 0x04})));
    EXPECT_EQ(reader.Translations(), (std::vector<std::string>{"080904E4"}));
    EXPECT_EQ(reader.ProductName(), "UK table");
}

TEST_F(VersionInfoResourceTest, MissingFixedRecordGivesZeros)
{
    TVersionResource resource = FullResource();
    resource.Fixed.reset();
    auto reader = Read(resource);
    EXPECT_EQ(reader->FixedInfo().FixedRecord(), nullptr);
    EXPECT_TRUE(reader->FixedInfo().GetFlags().Empty());
    EXPECT_EQ(reader->GetBuildFlagsText(), "");
    EXPECT_TRUE(reader->FileVersionNumber().Valid());
    EXPECT_EQ(reader->FileVersionNumber().AsString(), "0.0.0.0");
    EXPECT_EQ(reader->ProductName(), "Quimbrel") << "the strings are still there";

    resource.Tables[0].Values.push_back({"FileVersion", "3.1"});
    reader = Read(resource);
    EXPECT_EQ(reader->FileVersionNumber().AsString(), "3.1");
}

struct TFlagsCase {
    uint32_t FileFlags;
    const char* Text;
};

const TFlagsCase FlagsCases[] = {
    {0x3F, "Debug, Info Inferred, Patched, Pre-Release, Private, Special"},
    {0x06, "Patched, Pre-Release"},
    {0x00, ""},
    {0x01, "Debug"},
    {0x30, "Info Inferred, Special"},
    {0x3F | 0x40, "Debug, Info Inferred, Patched, Pre-Release, Private, Special"},
};

TEST_F(VersionInfoResourceTest, BuildFlagsTextInTableOrder)
{
    for (const TFlagsCase& c : FlagsCases) {
        TVersionResource resource = FullResource();
        resource.Fixed->dwFileFlags = c.FileFlags;
        resource.Fixed->dwFileFlagsMask = 0;
        EXPECT_EQ(Read(resource)->GetBuildFlagsText(), c.Text) << std::hex << c.FileFlags;
    }
}

TEST_F(VersionInfoResourceTest, FileWithoutVersionInformationReadsEmpty)
{
    const std::string textFile = FDir + "/notes.txt";
    std::ofstream(textFile) << "not a program\n";
    const std::string names[] = {WritePlainElf(FDir, "plain"), textFile, FDir + "/missing", FDir};
    for (const std::string& name : names) {
        TVersionInfoResource reader(nullptr);
        reader.SetFilename(Write(FullResource(), "first"));
        ASSERT_EQ(reader.ProductName(), "Quimbrel");
        reader.SetFilename(name);
        EXPECT_EQ(reader.VersionData(), nullptr) << name;
        EXPECT_EQ(reader.VersionDataSize(), 0u) << name;
        EXPECT_FALSE(reader.FileVersionNumber().Valid()) << name;
        EXPECT_EQ(reader.FileVersionNumber().AsString(), "") << name;
        EXPECT_EQ(reader.ProductVersionNumber().AsString(), "") << name;
        EXPECT_EQ(reader.ProductName(), "") << name;
        EXPECT_EQ(reader.CompanyName(), "") << name;
        EXPECT_TRUE(reader.Translations().empty()) << name;
        EXPECT_EQ(reader.FixedInfo().FixedRecord(), nullptr) << name;
        EXPECT_EQ(reader.GetBuildFlagsText(), "") << name;
    }
}

TEST_F(VersionInfoResourceTest, TestProgramItselfCarriesNoVersionInformation)
{
    TVersionInfoResource reader(nullptr);
    reader.Reload();
    EXPECT_EQ(reader.VersionData(), nullptr);
    EXPECT_EQ(reader.FileVersionNumber().AsString(), "");
}

TEST_F(VersionInfoResourceTest, SettingTheSameFilenameReadsAgain)
{
    TVersionResource resource = FullResource();
    TVersionInfoResource reader(nullptr);
    const std::string path = Write(resource);
    reader.SetFilename(path);
    EXPECT_EQ(reader.ProductName(), "Quimbrel");
    resource.Tables[0].Values = {{"ProductName", "Quimbrel 2"}};
    Write(resource);
    EXPECT_EQ(reader.ProductName(), "Quimbrel") << "nothing is read until asked";
    reader.SetFilename(path);
    EXPECT_EQ(reader.ProductName(), "Quimbrel 2");
}

TEST_F(VersionInfoResourceTest, ChangingForceExeReadsAgain)
{
    TVersionResource resource = FullResource();
    TVersionInfoResource reader(nullptr);
    reader.SetFilename(Write(resource));
    resource.Tables[0].Values = {{"ProductName", "Quimbrel 2"}};
    Write(resource);
    reader.SetForceEXE(false);
    EXPECT_EQ(reader.ProductName(), "Quimbrel") << "an unchanged value reads nothing";
    reader.SetForceEXE(true);
    EXPECT_TRUE(reader.ForceEXE());
    EXPECT_EQ(reader.ProductName(), "Quimbrel 2");
}

TEST_F(VersionInfoResourceTest, OwnedByAComponentAndFreedWithIt)
{
    TComponent owner(nullptr);
    auto* reader = new TVersionInfoResource(&owner);
    reader->SetFilename(Write(FullResource()));
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(reader->Owner(), &owner);
}

// The program as built: its own resource reads back with the build's version.
TEST_F(VersionInfoResourceTest, RealExecutableReadsBackWithTheBuildVersion)
{
    const std::string version = ProjectVersionText(QUIMBREL_SOURCE_DIR);
    ASSERT_NE(version, "");
    TVersionInfoResource reader(nullptr);
    reader.SetFilename(QUIMBREL_EXE);
    EXPECT_EQ(reader.FileVersionNumber().AsString(), version);
    EXPECT_EQ(reader.ProductVersionNumber().AsString(), version);
    EXPECT_EQ(reader.Translations().at(0), "080904E4");
    EXPECT_EQ(reader.CompanyName(), "Tamsvik");
    EXPECT_EQ(reader.ProductName(), "Quimbrel");
    EXPECT_NE(reader.LegalCopyright(), "");
    EXPECT_NE(reader.Comments(), "");
    EXPECT_NE(reader.GetVersionString("Web site"), "");
    EXPECT_NE(reader.GetVersionString("Author"), "");
    EXPECT_EQ(reader.GetBuildFlagsText(), "");
}

} // namespace
