// The key and caption tables, the build-flag bits and the small sets.

#include "platform/verres/winver.h"
#include "versinfo/fixedfileversioninfo.h"
#include "versinfo/predefs.h"

#include <gtest/gtest.h>

namespace {

TEST(PreDefsTest, KeysInOrdinalOrder)
{
    const char* const expected[] = {"CompanyName",      "FileDescription", "FileVersion",    "InternalName",
                                    "LegalCopyright",   "LegalTrademarks", "OriginalFilename", "ProductName",
                                    "ProductVersion",   "Comments",        "BuildFlags"};
    ASSERT_EQ(PreDefKeys.size(), std::size(expected));
    for (size_t i = 0; i < PreDefKeys.size(); ++i)
        EXPECT_STREQ(PreDefKeys[i], expected[i]) << i;
    EXPECT_EQ(pdProductVersion, 8);
    EXPECT_EQ(pdBuildFlags, 10);
}

TEST(PreDefsTest, CaptionsComeFromTheStringResources)
{
    const char* const expected[] = {"Company Name",     "File Description", "File Version",    "Internal Name",
                                    "Legal Copyright",  "Legal Trademarks", "Original Filename", "Product Name",
                                    "Product Version",  "Comments",         "Build Flags"};
    for (size_t i = 0; i < PreDefCaptions.size(); ++i)
        EXPECT_EQ(PreDefCaptions[i], expected[i]) << i;
    const char* const flags[] = {"Debug", "Info Inferred", "Patched", "Pre-Release", "Private", "Special"};
    for (size_t i = 0; i < BuildFlagCaptions.size(); ++i)
        EXPECT_EQ(BuildFlagCaptions[i], flags[i]) << i;
}

TEST(PreDefsTest, SetsHoldEachElementInItsOwnBit)
{
    EXPECT_EQ(AllPreDefs.Bits(), 0x7FF);
    TPreDefs set{pdCompanyName, pdComments};
    EXPECT_TRUE(set.Contains(pdCompanyName));
    EXPECT_TRUE(set.Contains(pdComments));
    EXPECT_FALSE(set.Contains(pdBuildFlags));
    set.Exclude(pdCompanyName);
    set.Include(pdBuildFlags);
    EXPECT_EQ(set.Bits(), (1u << pdComments) | (1u << pdBuildFlags));
    EXPECT_TRUE(TPreDefs().Empty());
    EXPECT_EQ(TPreDefs(static_cast<uint16_t>(1u << pdFileVersion)), TPreDefs{pdFileVersion});
}

struct TFlagBitCase {
    uint32_t Bit;
    TBuildFlag Flag;
};

// Each dwFileFlags bit sets the one element the table names.
const TFlagBitCase FlagBits[] = {
    {VS_FF_DEBUG, bfDebug},       {VS_FF_PRERELEASE, bfPreRelease},     {VS_FF_PATCHED, bfPatched},
    {VS_FF_PRIVATEBUILD, bfPrivate}, {VS_FF_INFOINFERRED, bfInfoInferred}, {VS_FF_SPECIALBUILD, bfSpecial},
};

TEST(FixedFileVersionInfoTest, EachBitSetsItsFlag)
{
    for (const TFlagBitCase& c : FlagBits) {
        VS_FIXEDFILEINFO record{};
        record.dwFileFlags = c.Bit;
        TFixedFileVersionInfo info;
        info.SetFixedRecord(&record);
        EXPECT_EQ(info.GetFlags(), TBuildFlags{c.Flag}) << std::hex << c.Bit;
    }
}

TEST(FixedFileVersionInfoTest, MaskIsNotAppliedAndUnknownBitsAreIgnored)
{
    VS_FIXEDFILEINFO record{};
    record.dwFileFlagsMask = 0;
    record.dwFileFlags = VS_FF_DEBUG | 0x40 | 0x80000000;
    TFixedFileVersionInfo info;
    info.SetFixedRecord(&record);
    EXPECT_EQ(info.GetFlags(), TBuildFlags{bfDebug});
}

TEST(FixedFileVersionInfoTest, WithoutRecordEverythingIsZero)
{
    const TFixedFileVersionInfo info;
    EXPECT_EQ(info.FixedRecord(), nullptr);
    EXPECT_EQ(info.FileVersionMS(), 0u);
    EXPECT_EQ(info.FileVersionLS(), 0u);
    EXPECT_EQ(info.ProductVersionMS(), 0u);
    EXPECT_EQ(info.ProductVersionLS(), 0u);
    EXPECT_TRUE(info.GetFlags().Empty());
}

TEST(FixedFileVersionInfoTest, FieldsOfTheRecord)
{
    VS_FIXEDFILEINFO record{};
    record.dwFileVersionMS = 0x00010002;
    record.dwFileVersionLS = 0x00030004;
    record.dwProductVersionMS = 0x00050006;
    record.dwProductVersionLS = 0x00070008;
    TFixedFileVersionInfo info;
    info.SetFixedRecord(&record);
    EXPECT_EQ(info.FileVersionMS(), 0x00010002u);
    EXPECT_EQ(info.FileVersionLS(), 0x00030004u);
    EXPECT_EQ(info.ProductVersionMS(), 0x00050006u);
    EXPECT_EQ(info.ProductVersionLS(), 0x00070008u);
}

} // namespace
