// The "Resource" / "Value" table that the version-information component puts
// into a linked list view: its columns, the rows in their fixed order, the
// rows left out, and what the list view shows on screen.

#include "platform/forms/form.h"
#include "platform/verres/versionblockwriter.h"
#include "platform/widgets/label.h"
#include "platform/widgets/listview.h"
#include "support/resfile.h"
#include "support/versionfiles.h"
#include "versinfo/versinforesource.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using namespace versiontest;
using TRows = std::vector<std::pair<std::string, std::string>>;

TVersionResource FullResource()
{
    TVersionResource resource;
    resource.Fixed = TVersionBlockWriter::MakeFixed(0x00010001, 0x00000002, 0x00020000, 0x00000000);
    resource.Fixed->dwFileFlags = VS_FF_PATCHED | VS_FF_PRERELEASE;
    resource.Tables.push_back({"080904E4",
                               {{"Comments", "For weather satellites"},
                                {"CompanyName", "Tamsvik"},
                                {"FileDescription", "Stereo audio level meter"},
                                {"InternalName", "quimbrel"},
                                {"LegalCopyright", "Copyright \u00A9 Tamsvik"},
                                {"LegalTrademarks", "Quimbrel\u2122"},
                                {"OriginalFilename", "quimbrel"},
                                {"ProductName", "Quimbrel"},
                                {"BuildFlags", "never shown"}}});
    resource.Translations = {{{0x0809, 0x04E4}}};
    return resource;
}

// Every row, in the order of the table.
const TRows AllRows = {
    {"Product Name", "Quimbrel"},
    {"Product Version", "2.0.0.0"},
    {"Company Name", "Tamsvik"},
    {"Legal Copyright", "Copyright \u00A9 Tamsvik"},
    {"Legal Trademarks", "Quimbrel\u2122"},
    {"File Description", "Stereo audio level meter"},
    {"File Version", "1.1.0.2"},
    {"Internal Name", "quimbrel"},
    {"Original Filename", "quimbrel"},
    {"Build Flags", "Patched, Pre-Release"},
    {"Comments", "For weather satellites"},
};

TRows Without(TRows Rows, const std::string& Caption)
{
    std::erase_if(Rows, [&](const auto& row) { return row.first == Caption; });
    return Rows;
}

class VersionInfoListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FDir = TestDirForCurrentTest(QUIMBREL_BINARY_DIR);
        FForm = std::make_unique<TForm>(nullptr);
        FForm->SetBounds(0, 0, 400, 300);
        FView = new TListView(FForm.get());
        FView->SetParent(FForm.get());
        FView->SetBounds(0, 0, 400, 300);
        FReader = new TVersionInfoResource(FForm.get());
    }

    void Read(const TVersionResource& Resource) { FReader->SetFilename(WriteResourceElf(FDir, "program", Resource)); }

    TRows Rows() const
    {
        TRows rows;
        for (int i = 0; i < FView->Items().Count(); ++i) {
            const TListItem* item = FView->Items().Items(i);
            EXPECT_EQ(item->SubItems().Count(), 1) << item->Caption();
            rows.emplace_back(item->Caption(), item->SubItems().Count() > 0 ? item->SubItems().Strings(0) : "");
        }
        return rows;
    }

    std::string FDir;
    std::unique_ptr<TForm> FForm;
    TListView* FView = nullptr;
    TVersionInfoResource* FReader = nullptr;
};

TEST_F(VersionInfoListViewTest, ColumnsAndSettings)
{
    Read(FullResource());
    FReader->SetVersionListView(FView);
    EXPECT_EQ(FReader->VersionListView(), FView);
    ASSERT_EQ(FView->Columns().Count(), 2);
    EXPECT_EQ(FView->Columns().Items(0)->Caption(), "Resource");
    EXPECT_EQ(FView->Columns().Items(1)->Caption(), "Value");
    EXPECT_EQ(FView->Columns().Items(0)->Width(), ColumnWidthFitHeader);
    EXPECT_EQ(FView->Columns().Items(1)->Width(), ColumnWidthFitHeader);
    EXPECT_EQ(FView->ViewStyle(), TViewStyle::vsReport);
    EXPECT_TRUE(FView->ReadOnly());
    EXPECT_FALSE(FView->ColumnClick());
    EXPECT_EQ(FReader->ShowResource(), AllPreDefs) << "linking a list view takes nothing out";
}

TEST_F(VersionInfoListViewTest, EveryRowInTableOrder)
{
    Read(FullResource());
    FReader->SetVersionListView(FView);
    EXPECT_EQ(Rows(), AllRows);
}

TEST_F(VersionInfoListViewTest, FillingAgainReplacesTheRows)
{
    FReader->SetVersionListView(FView);
    Read(FullResource());
    FReader->Reload();
    EXPECT_EQ(Rows(), AllRows);
    EXPECT_EQ(FView->Columns().Count(), 2);
}

TEST_F(VersionInfoListViewTest, EmptyValuesMakeNoRows)
{
    TVersionResource resource = FullResource();
    resource.Fixed->dwFileFlags = 0;
    resource.Tables[0].Values[0].second = "";  // Comments
    resource.Tables[0].Values[5].second = "";  // LegalTrademarks
    Read(resource);
    FReader->SetVersionListView(FView);
    EXPECT_EQ(Rows(), Without(Without(Without(AllRows, "Build Flags"), "Comments"), "Legal Trademarks"));
}

TEST_F(VersionInfoListViewTest, FileVersionStringIsTheRowsValue)
{
    TVersionResource resource = FullResource();
    resource.Tables[0].Values.push_back({"FileVersion", "1.1 beta"});
    Read(resource);
    FReader->SetVersionListView(FView);
    EXPECT_EQ(Rows().at(6), (std::pair<std::string, std::string>{"File Version", "1.1 beta"}));
}

TEST_F(VersionInfoListViewTest, LinkedCopyrightLabelTakesItsRowUntilSetBack)
{
    auto* copyright = new TLabel(FForm.get());
    Read(FullResource());
    FReader->SetVersionListView(FView);
    FReader->SetCopyrightLabel(copyright);
    EXPECT_EQ(Rows(), Without(AllRows, "Legal Copyright"));
    FReader->SetShowResource(AllPreDefs);
    EXPECT_EQ(Rows(), AllRows);
}

TEST_F(VersionInfoListViewTest, ShowResourceChoosesTheRows)
{
    Read(FullResource());
    FReader->SetVersionListView(FView);
    FReader->SetShowResource(TPreDefs{pdComments, pdBuildFlags, pdProductName});
    EXPECT_EQ(Rows(), (TRows{{"Product Name", "Quimbrel"},
                             {"Build Flags", "Patched, Pre-Release"},
                             {"Comments", "For weather satellites"}}));
    FReader->SetShowResource(TPreDefs{});
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(FView->Columns().Count(), 2);
}

TEST_F(VersionInfoListViewTest, NoVersionInformationLeavesColumnsOnly)
{
    FReader->SetVersionListView(FView);
    FReader->SetFilename(FDir + "/missing");
    EXPECT_EQ(FView->Columns().Count(), 2);
    EXPECT_EQ(FView->Items().Count(), 0);
}

TEST_F(VersionInfoListViewTest, FreedListViewIsUnlinked)
{
    Read(FullResource());
    FReader->SetVersionListView(FView);
    delete FView;
    FView = nullptr;
    EXPECT_EQ(FReader->VersionListView(), nullptr);
    FReader->Reload();
}

TEST_F(VersionInfoListViewTest, ShownOnScreenAsFilled)
{
    Read(FullResource());
    FReader->SetVersionListView(FView);
    FForm->Show();
    ASSERT_NE(FView->ListPeer(), nullptr);
    std::vector<std::vector<std::string>> expected;
    for (const auto& [caption, value] : AllRows)
        expected.push_back({caption, value});
    EXPECT_EQ(FView->ListPeer()->ShownRows(), expected);
    FForm->Hide();
}

TEST_F(VersionInfoListViewTest, RealExecutableRows)
{
    FReader->SetVersionListView(FView);
    FReader->SetFilename(QUIMBREL_EXE);
    const TRows rows = Rows();
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.front(), (std::pair<std::string, std::string>{"Product Name", "Quimbrel"}));
    const std::string version = ProjectVersionText(QUIMBREL_SOURCE_DIR);
    EXPECT_NE(std::find(rows.begin(), rows.end(), std::pair<std::string, std::string>{"File Version", version}),
              rows.end());
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(), [](const auto& r) { return r.first == "Build Flags"; }), 0)
        << "a release build sets no flag";
}

} // namespace
