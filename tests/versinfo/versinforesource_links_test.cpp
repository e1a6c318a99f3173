// Labels linked to the version-information component: what each shows, how
// linking changes ShowResource, removal notices, and the loading state.

#include "platform/forms/form.h"
#include "platform/verres/versionblockwriter.h"
#include "platform/widgets/label.h"
#include "support/resfile.h"
#include "support/versionfiles.h"
#include "versinfo/versinforesource.h"

#include <gtest/gtest.h>

namespace {

using namespace versiontest;

const char* const Untouched = "design caption";

TVersionResource SampleResource(const std::string& Product = "Quimbrel")
{
    TVersionResource resource;
    resource.Fixed = TVersionBlockWriter::MakeFixed(0x00010001, 0x00000002, 0x00010001, 0x00000002);
    resource.Tables.push_back({"080904E4",
                               {{"FileDescription", "Stereo audio level meter"},
                                {"LegalCopyright", "Copyright \u00A9 Tamsvik"},
                                {"ProductName", Product}}});
    resource.Translations = {{{0x0809, 0x04E4}}};
    return resource;
}

class VersionInfoLinksTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FDir = TestDirForCurrentTest(QUIMBREL_BINARY_DIR);
        FPath = WriteResourceElf(FDir, "program", SampleResource());
        FForm = std::make_unique<TForm>(nullptr);
        for (TLabel*& label : {std::ref(FVersion), std::ref(FCopyright), std::ref(FProduct), std::ref(FDescription)}) {
            label = new TLabel(FForm.get());
            label->SetParent(FForm.get());
            label->SetCaption(Untouched);
        }
    }

    std::string FDir;
    std::string FPath;
    std::unique_ptr<TForm> FForm;
    TLabel* FVersion = nullptr;
    TLabel* FCopyright = nullptr;
    TLabel* FProduct = nullptr;
    TLabel* FDescription = nullptr;
};

TEST_F(VersionInfoLinksTest, EachLabelShowsItsValueAndLeavesTheList)
{
    auto* reader = new TVersionInfoResource(FForm.get());
    reader->SetFilename(FPath);
    reader->SetVersionLabel(FVersion);
    EXPECT_EQ(FVersion->Caption(), "1.1.0.2");
    EXPECT_FALSE(reader->ShowResource().Contains(pdFileVersion));
    reader->SetCopyrightLabel(FCopyright);
    EXPECT_EQ(FCopyright->Caption(), "Copyright \u00A9 Tamsvik");
    EXPECT_FALSE(reader->ShowResource().Contains(pdLegalCopyright));
    reader->SetProductLabel(FProduct);
    EXPECT_EQ(FProduct->Caption(), "Quimbrel");
    EXPECT_FALSE(reader->ShowResource().Contains(pdProductName));
    reader->SetDescriptionLabel(FDescription);
    EXPECT_EQ(FDescription->Caption(), "Stereo audio level meter");
    TPreDefs expected = AllPreDefs;
    for (TPreDef shown : {pdFileVersion, pdLegalCopyright, pdProductName, pdFileDescription})
        expected.Exclude(shown);
    EXPECT_EQ(reader->ShowResource(), expected);
    EXPECT_EQ(reader->VersionLabel(), FVersion);
    EXPECT_EQ(reader->CopyrightLabel(), FCopyright);
    EXPECT_EQ(reader->ProductLabel(), FProduct);
    EXPECT_EQ(reader->DescriptionLabel(), FDescription);
}

TEST_F(VersionInfoLinksTest, ShowResourceDoesNotAffectTheLabels)
{
    auto* reader = new TVersionInfoResource(FForm.get());
    reader->SetFilename(FPath);
    reader->SetProductLabel(FProduct);
    reader->SetShowResource(AllPreDefs);
    EXPECT_EQ(reader->ShowResource(), AllPreDefs) << "setting it back restores the row";
    FProduct->SetCaption(Untouched);
    reader->SetShowResource(TPreDefs{});
    EXPECT_EQ(FProduct->Caption(), "Quimbrel") << "a changed set updates the linked controls";
}

TEST_F(VersionInfoLinksTest, ClearingALinkKeepsShowResourceAndTheCaption)
{
    auto* reader = new TVersionInfoResource(FForm.get());
    reader->SetFilename(FPath);
    reader->SetCopyrightLabel(FCopyright);
    reader->SetShowResource(AllPreDefs);
    reader->SetCopyrightLabel(nullptr);
    EXPECT_EQ(reader->CopyrightLabel(), nullptr);
    EXPECT_EQ(reader->ShowResource(), AllPreDefs);
    EXPECT_EQ(FCopyright->Caption(), "Copyright \u00A9 Tamsvik");
    WriteResourceElf(FDir, "program", SampleResource("Quimbrel 2"));
    reader->SetFilename(FPath);
    EXPECT_EQ(FCopyright->Caption(), "Copyright \u00A9 Tamsvik") << "an unlinked label is left alone";
}

TEST_F(VersionInfoLinksTest, NoVersionInformationEmptiesTheLabels)
{
    auto* reader = new TVersionInfoResource(FForm.get());
    reader->SetVersionLabel(FVersion);
    reader->SetProductLabel(FProduct);
    reader->SetFilename(FDir + "/missing");
    EXPECT_EQ(FVersion->Caption(), "");
    EXPECT_EQ(FProduct->Caption(), "");
}

TEST_F(VersionInfoLinksTest, FreedLabelIsUnlinked)
{
    auto* reader = new TVersionInfoResource(FForm.get());
    reader->SetFilename(FPath);
    reader->SetProductLabel(FProduct);
    reader->SetCopyrightLabel(FCopyright);
    delete FProduct;
    FProduct = nullptr;
    EXPECT_EQ(reader->ProductLabel(), nullptr);
    EXPECT_EQ(reader->CopyrightLabel(), FCopyright);
    reader->Reload(); // would write to the freed label if it were still linked
    EXPECT_EQ(FCopyright->Caption(), "Copyright \u00A9 Tamsvik");
}

TEST_F(VersionInfoLinksTest, LabelOwnedElsewhereIsUnlinkedWhenFreed)
{
    TForm otherForm(nullptr);
    auto* elsewhere = new TLabel(&otherForm);
    auto* reader = new TVersionInfoResource(FForm.get());
    reader->SetVersionLabel(elsewhere);
    delete elsewhere;
    EXPECT_EQ(reader->VersionLabel(), nullptr);
}

TEST_F(VersionInfoLinksTest, FreedReaderLeavesTheCaptions)
{
    auto* reader = new TVersionInfoResource(FForm.get());
    reader->SetFilename(FPath);
    reader->SetProductLabel(FProduct);
    delete reader;
    EXPECT_EQ(FProduct->Caption(), "Quimbrel");
    FProduct->SetCaption("still usable");
    EXPECT_EQ(FProduct->Caption(), "still usable");
}

TEST_F(VersionInfoLinksTest, WhileLoadingNothingIsPushedUntilLoaded)
{
    auto* reader = new TVersionInfoResource(FForm.get());
    reader->SetLoading();
    reader->SetFilename(FPath);
    reader->SetProductLabel(FProduct);
    reader->SetCopyrightLabel(FCopyright);
    EXPECT_EQ(FProduct->Caption(), Untouched);
    EXPECT_EQ(FCopyright->Caption(), Untouched);
    EXPECT_FALSE(reader->ShowResource().Contains(pdProductName)) << "the set changes even while loading";
    reader->Loaded();
    EXPECT_FALSE(reader->IsLoading());
    EXPECT_EQ(FProduct->Caption(), "Quimbrel");
    EXPECT_EQ(FCopyright->Caption(), "Copyright \u00A9 Tamsvik");
}

TEST_F(VersionInfoLinksTest, LoadedReadsTheFileAgain)
{
    auto* reader = new TVersionInfoResource(FForm.get());
    reader->SetLoading();
    reader->SetFilename(FPath);
    reader->SetProductLabel(FProduct);
    WriteResourceElf(FDir, "program", SampleResource("Quimbrel 2"));
    reader->Loaded();
    EXPECT_EQ(FProduct->Caption(), "Quimbrel 2");
}

TEST_F(VersionInfoLinksTest, DesignedComponentPushesNothing)
{
    auto* reader = new TVersionInfoResource(FForm.get());
    reader->SetDesigning(true);
    reader->SetFilename(FPath);
    reader->SetProductLabel(FProduct);
    EXPECT_EQ(FProduct->Caption(), Untouched);
    EXPECT_EQ(reader->ProductName(), "Quimbrel");
}

TEST_F(VersionInfoLinksTest, LinkAfterLoadingDoesNotReadTheFileAgain)
{
    auto* reader = new TVersionInfoResource(FForm.get());
    reader->SetFilename(FPath);
    WriteResourceElf(FDir, "program", SampleResource("Quimbrel 2"));
    reader->SetProductLabel(FProduct);
    EXPECT_EQ(FProduct->Caption(), "Quimbrel");
}

} // namespace
