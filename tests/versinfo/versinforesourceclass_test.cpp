// The version-information component created from a form description: its
// published properties, its links resolved by name, and the reading that
// follows once the whole description is loaded.

#include "platform/forms/form.h"
#include "platform/forms/formloader.h"
#include "platform/verres/versionblockwriter.h"
#include "platform/widgets/label.h"
#include "support/resfile.h"
#include "support/versionfiles.h"
#include "versinfo/versinforesource.h"

#include <gtest/gtest.h>

namespace {

using namespace versiontest;

TVersionResource SampleResource()
{
    TVersionResource resource;
    resource.Fixed = TVersionBlockWriter::MakeFixed(0x00010001, 0x00000002, 0x00010001, 0x00000002);
    resource.Tables.push_back({"080904E4",
                               {{"LegalCopyright", "Copyright \u00A9 Tamsvik"}, {"ProductName", "Quimbrel"}}});
    resource.Translations = {{{0x0809, 0x04E4}}};
    return resource;
}

std::string Description(const std::string& Path)
{
    return "object Probe: TForm\n"
           "  object Copyright: TLabel\n"
           "    Caption = 'Copyright'\n"
           "  end\n"
           "  object VI: TVersionInfoResource\n"
           "    Version = 'v1'\n"
           "    Filename = '" + Path + "'\n"
           "    ForceEXE = True\n"
           "    CopyrightLabel = Copyright\n"
           "    ProductLabel = Product\n"
           "    VersionLabel = Version\n"
           "    ShowResource = [pdCompanyName, pdBuildFlags]\n"
           "  end\n"
           "  object Product: TLabel\n"
           "    Caption = 'Product Name'\n"
           "  end\n"
           "  object Version: TLabel\n"
           "    Caption = 'Version'\n"
           "  end\n"
           "end\n";
}

TEST(VersionInfoResourceClassTest, DescriptionSetsPropertiesAndLinks)
{
    const std::string path = WriteResourceElf(TestDirForCurrentTest(QUIMBREL_BINARY_DIR), "program", SampleResource());
    TForm form(nullptr);
    ReadFormTexts(form, {{"forms/Probe.qfm", Description(path)}});
    auto* vi = dynamic_cast<TVersionInfoResource*>(form.FindComponent("VI"));
    ASSERT_NE(vi, nullptr);
    EXPECT_EQ(vi->Version(), "TVersionInfoResource v2.35");
    EXPECT_EQ(vi->Filename(), path);
    EXPECT_TRUE(vi->ForceEXE());
    EXPECT_EQ(vi->ShowResource(), (TPreDefs{pdCompanyName, pdBuildFlags}));
    EXPECT_EQ(vi->CopyrightLabel(), form.FindComponent("Copyright"));
    EXPECT_EQ(vi->ProductLabel(), form.FindComponent("Product"));
    EXPECT_EQ(vi->VersionLabel(), form.FindComponent("Version"));
    EXPECT_FALSE(vi->IsLoading());
    EXPECT_EQ(static_cast<TLabel*>(form.FindComponent("Copyright"))->Caption(), "Copyright \u00A9 Tamsvik");
    EXPECT_EQ(static_cast<TLabel*>(form.FindComponent("Product"))->Caption(), "Quimbrel");
    EXPECT_EQ(static_cast<TLabel*>(form.FindComponent("Version"))->Caption(), "1.1.0.2");
}

TEST(VersionInfoResourceClassTest, WithoutFilenameTheRunningProgramIsRead)
{
    TForm form(nullptr);
    ReadFormTexts(form, {{"forms/Probe.qfm", "object Probe: TForm\n"
                                             "  object Product: TLabel\n"
                                             "    Caption = 'Product Name'\n"
                                             "  end\n"
                                             "  object VI: TVersionInfoResource\n"
                                             "    ProductLabel = Product\n"
                                             "  end\n"
                                             "end\n"}});
    auto* vi = dynamic_cast<TVersionInfoResource*>(form.FindComponent("VI"));
    ASSERT_NE(vi, nullptr);
    EXPECT_EQ(vi->Filename(), "");
    EXPECT_FALSE(vi->ShowResource().Contains(pdProductName));
    // The test program carries no version information.
    EXPECT_EQ(static_cast<TLabel*>(form.FindComponent("Product"))->Caption(), "");
}

TEST(VersionInfoResourceClassTest, UnknownShowResourceElementIsRefused)
{
    TForm form(nullptr);
    EXPECT_THROW(ReadFormTexts(form, {{"forms/Probe.qfm", "object Probe: TForm\n"
                                                          "  object VI: TVersionInfoResource\n"
                                                          "    ShowResource = [pdAuthor]\n"
                                                          "  end\n"
                                                          "end\n"}}),
                 EFormDescriptionError);
}

} // namespace
