// The About dialogs built from their descriptions, shown modally on the
// offscreen platform over the real program's version resource: caption, labels,
// icon, closing keys, a second showing, and the web-site link.

#include "platform/forms/application.h"
#include "platform/kernel/addressopener.h"
#include "platform/kernel/resources.h"
#include "platform/kernel/sysutils.h"
#include "platform/verres/winver.h"
#include "platform/widgets/button.h"
#include "platform/widgets/image.h"
#include "platform/widgets/label.h"
#include "platform/widgets/panel.h"
#include "platform/widgets/userinput.h"
#include "support/versionfiles.h"
#include "versinfo/formhelpabout.h"
#include "versinfo/versinforesource.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using namespace versiontest;

// A string of the real program's resource, read straight through the version queries.
std::string ProgramString(const std::string& Key)
{
    const uint32_t size = GetFileVersionInfoSize(QUIMBREL_EXE, nullptr);
    std::vector<uint32_t> block((size + 3) / 4);
    if (size == 0 || !GetFileVersionInfo(QUIMBREL_EXE, 0, size, block.data()))
        return "<no version information>";
    void* value = nullptr;
    uint32_t length = 0;
    if (!VerQueryValue(block.data(), "\\StringFileInfo\\080904E4\\" + Key, &value, &length))
        return "<missing>";
    return static_cast<const char*>(value);
}

// What the dialog shows while it is up.
struct TShown {
    std::string Caption;
    std::string ProductName;
    std::string Version;
    std::string Copyright;
    std::string Comments;
    std::string WebSite;
    bool Visible = false;
    bool Modal = false;

    bool operator==(const TShown&) const = default;
};

class AboutBoxTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        Application.SetModalHook({});
        SetShellOpenHook({});
    }

    // Shows Box modally; the hook notes what is shown and then runs Close, which
    // must end the dialog (a dialog left open fails the test rather than waiting).
    static int ShowAndNote(TAboutBoxZOR& Box, TShown& Shown, const std::function<void(TAboutBoxZOR&)>& Close)
    {
        Application.SetModalHook([&](TForm* Form) {
            EXPECT_EQ(Form, &Box);
            Application.ProcessMessages();
            Shown = {Box.Caption(),         Box.ProductName->Caption(), Box.Version->Caption(),
                     Box.Copyright->Caption(), Box.Comments->Caption(),  Box.WebSite->Caption(),
                     Box.Visible(),         Box.Modal()};
            Close(Box);
            Application.ProcessMessages();
            if (Box.ModalResult() == mrNone) {
                ADD_FAILURE() << "the dialog is still open";
                Box.SetModalResult(mrAbort);
            }
        });
        return Box.ShowModal();
    }

    static void ClickOK(TAboutBoxZOR& Box) { Box.OKButton->Click(); }

    // A dialog reading the real program's resource.
    static std::unique_ptr<THelpAboutBox> ProgramBox()
    {
        auto box = std::make_unique<THelpAboutBox>(nullptr);
        box->VI->SetFilename(QUIMBREL_EXE);
        return box;
    }
};

TEST_F(AboutBoxTest, ShowsTheProgramsOwnVersionInformation)
{
    auto box = ProgramBox();
    TShown shown;
    EXPECT_EQ(ShowAndNote(*box, shown, ClickOK), mrOk);
    const std::string version = ProjectVersionText(QUIMBREL_SOURCE_DIR);
    ASSERT_NE(version, "");
    EXPECT_EQ(shown.Caption, "About Tamsvik's Quimbrel");
    EXPECT_EQ(shown.ProductName, "Quimbrel");
    EXPECT_EQ(shown.Version, ExtractFileName(Application.ExeName()) + ", V" + version + ", " + ProgramString("Comments"));
    EXPECT_EQ(shown.Copyright, ProgramString("LegalCopyright"));
    EXPECT_EQ(shown.Copyright, "Copyright \u00A9 Tamsvik");
    EXPECT_EQ(shown.Comments, "Comments") << "the Comments label keeps its fixed caption";
    EXPECT_EQ(shown.WebSite, ProgramString("Web site"));
    EXPECT_TRUE(shown.Visible);
    EXPECT_TRUE(shown.Modal);
    EXPECT_FALSE(box->Visible()) << "hidden again, not destroyed";
}

TEST_F(AboutBoxTest, SecondShowingGivesTheSameCaptions)
{
    auto box = ProgramBox();
    TShown first;
    TShown second;
    ShowAndNote(*box, first, ClickOK);
    ShowAndNote(*box, second, ClickOK);
    EXPECT_EQ(first, second);
    EXPECT_EQ(second.Caption, "About Tamsvik's Quimbrel");
}

// Each way out, as a person takes it; the loop ends once the key or click is handled.
TEST_F(AboutBoxTest, OkEnterEscapeAndTheCloseBoxCloseIt)
{
    auto box = ProgramBox();
    TShown shown;
    EXPECT_EQ(ShowAndNote(*box, shown, [](TAboutBoxZOR& Box) { EXPECT_TRUE(SimulateClick(*Box.OKButton)); }), mrOk);
    EXPECT_EQ(ShowAndNote(*box, shown, [](TAboutBoxZOR& Box) { EXPECT_TRUE(SimulateKey(Box, VK_RETURN)); }), mrOk);
    EXPECT_EQ(ShowAndNote(*box, shown, [](TAboutBoxZOR& Box) { EXPECT_TRUE(SimulateKey(Box, VK_ESCAPE)); }), mrOk);
    EXPECT_EQ(ShowAndNote(*box, shown, [](TAboutBoxZOR& Box) { Box.Close(); }), mrCancel);
    EXPECT_FALSE(box->Visible());
}

TEST_F(AboutBoxTest, WithoutVersionInformationTheTextsAreEmpty)
{
    // The test program itself carries no version resource.
    THelpAboutBox box(nullptr);
    EXPECT_EQ(box.VI->Filename(), "");
    std::vector<std::string> opened;
    SetShellOpenHook([&opened](const std::string& Address) {
        opened.push_back(Address);
        return true;
    });
    TShown shown;
    ShowAndNote(box, shown, [](TAboutBoxZOR& Box) {
        Box.WebSiteClick(Box.WebSite);
        Box.OKButton->Click();
    });
    EXPECT_EQ(shown.Caption, "About Tamsvik's ");
    EXPECT_EQ(shown.ProductName, "");
    EXPECT_EQ(shown.Copyright, "");
    EXPECT_EQ(shown.Version, ExtractFileName(Application.ExeName()) + ", V, ");
    EXPECT_EQ(shown.WebSite, "");
    EXPECT_TRUE(opened.empty()) << "an empty web site opens nothing";
}

struct TAddressCase {
    const char* Caption;
    const char* Opened;
};

const TAddressCase AddressCases[] = {
    {"www.tamsvik.example", "http://www.tamsvik.example"},
    {"http://www.tamsvik.example", "http://www.tamsvik.example"},
    {"https://www.tamsvik.example/quimbrel", "https://www.tamsvik.example/quimbrel"},
    {"HTTP://WWW.TAMSVIK.EXAMPLE", "HTTP://WWW.TAMSVIK.EXAMPLE"},
    {"Https://www.tamsvik.example", "Https://www.tamsvik.example"},
    {"ftp://ftp.tamsvik.example", "ftp://ftp.tamsvik.example"},
    {"tamsvik.example/see/http://mirror", "http://tamsvik.example/see/http://mirror"},
    {"://www.tamsvik.example", "http://://www.tamsvik.example"},
    {"x-y://www.tamsvik.example", "http://x-y://www.tamsvik.example"},
};

TEST_F(AboutBoxTest, AddressRules)
{
    THelpAboutBox box(nullptr);
    std::vector<std::string> opened;
    SetShellOpenHook([&opened](const std::string& Address) {
        opened.push_back(Address);
        return false; // the desktop refusing is not reported
    });
    for (const TAddressCase& c : AddressCases) {
        opened.clear();
        box.WebSite->SetCaption(c.Caption);
        box.WebSite->Click();
        EXPECT_EQ(opened, std::vector<std::string>{c.Opened}) << c.Caption;
        EXPECT_EQ(TAboutBoxZOR::WebAddress(c.Caption), c.Opened);
    }
}

TEST_F(AboutBoxTest, ClickingTheLinkWhileShownKeepsTheDialogOpen)
{
    auto box = ProgramBox();
    std::vector<std::string> opened;
    SetShellOpenHook([&opened](const std::string& Address) {
        opened.push_back(Address);
        return true;
    });
    TShown shown;
    bool stillShown = false;
    ShowAndNote(*box, shown, [&stillShown](TAboutBoxZOR& Box) {
        EXPECT_TRUE(SimulateClick(*Box.WebSite));
        Application.ProcessMessages();
        stillShown = Box.Visible() && Box.ModalResult() == mrNone;
        Box.OKButton->Click();
    });
    EXPECT_TRUE(stillShown);
    EXPECT_EQ(opened, std::vector<std::string>{"http://" + ProgramString("Web site")});
}

TEST_F(AboutBoxTest, ProgramIconShowsTheApplicationIcon)
{
    auto box = ProgramBox();
    TDecodedImage icon;
    ASSERT_TRUE(LoadIconImage(Application.IconName(), icon));
    TDecodedImage design = box->ProgramIcon->Picture();
    EXPECT_EQ(design.Width, 32);
    EXPECT_EQ(design.Height, 32);
    TShown shown;
    ShowAndNote(*box, shown, ClickOK);
    EXPECT_EQ(box->ProgramIcon->Picture().Width, icon.Width);
    EXPECT_EQ(box->ProgramIcon->Picture().Height, icon.Height);
    EXPECT_EQ(box->ProgramIcon->Picture().Pixels, icon.Pixels);
}

TEST_F(AboutBoxTest, LongWebSiteGrowsToTheLeft)
{
    THelpAboutBox box(nullptr);
    const int right = box.WebSite->Left() + box.WebSite->Width();
    box.WebSite->SetCaption("w");
    const int shortLeft = box.WebSite->Left();
    box.WebSite->SetCaption("www.a-much-longer-address.tamsvik.example");
    EXPECT_LT(box.WebSite->Left(), shortLeft);
    EXPECT_EQ(box.WebSite->Left() + box.WebSite->Width(), right);
}

TEST_F(AboutBoxTest, LayoutOfTheDescriptions)
{
    THelpAboutBox box(nullptr);
    EXPECT_EQ(box.Name(), "HelpAboutBox");
    EXPECT_EQ(box.Caption(), "HelpAboutBox");
    EXPECT_EQ(box.FormDescriptions(), (std::vector<std::string>{"AboutBox", "AboutBoxZOR", "HelpAboutBox"}));
    EXPECT_EQ(box.ClientWidth(), 298);
    EXPECT_EQ(box.ClientHeight(), 213);
    EXPECT_EQ(box.BorderStyle(), TFormBorderStyle::bsDialog);
    EXPECT_EQ(box.Position(), TPosition::poScreenCenter);
    EXPECT_EQ(box.ProgramIcon->BoundsRect(), Rect(16, 16, 48, 48));
    EXPECT_EQ(box.ProgramIcon->Parent(), box.Panel1);
    EXPECT_EQ(box.ProductName->Left(), 64);
    EXPECT_TRUE(box.ProductName->Font().Style & fsBold);
    EXPECT_EQ(box.Version->Left(), 64);
    EXPECT_EQ(box.WebSite->Font().Color, clNavy);
    EXPECT_TRUE(box.WebSite->Font().Style & fsUnderline);
    EXPECT_EQ(box.WebSite->Cursor(), crHandPoint);
    EXPECT_EQ(box.WebSite->Alignment(), TAlignment::taRightJustify);
    EXPECT_EQ(box.WebSite->Anchors(), static_cast<TAnchors>(akTop | akRight));
    EXPECT_TRUE(box.OKButton->Default());
    EXPECT_TRUE(box.OKButton->Cancel());
    EXPECT_EQ(box.OKButton->ModalResult(), mrOk);
    EXPECT_EQ(box.VI->CopyrightLabel(), box.Copyright);
    EXPECT_EQ(box.VI->ProductLabel(), box.ProductName);
    EXPECT_EQ(box.VI->ShowResource(), (TPreDefs{pdCompanyName, pdFileDescription, pdInternalName, pdLegalTrademarks,
                                                pdOriginalFilename, pdProductVersion, pdComments, pdBuildFlags}));
}

TEST_F(AboutBoxTest, PlainBoxHasTheBaseLayout)
{
    TAboutBox box(nullptr);
    EXPECT_EQ(box.Name(), "AboutBox");
    EXPECT_EQ(box.Caption(), "About");
    EXPECT_EQ(box.ProgramIcon->BoundsRect(), Rect(8, 8, 73, 65));
    EXPECT_TRUE(box.ProgramIcon->Stretch());
    EXPECT_EQ(box.ProductName->Caption(), "Product Name");
    EXPECT_EQ(box.ProductName->Left(), 88);
    EXPECT_FALSE(box.ProductName->Font().Style & fsBold);
    EXPECT_TRUE(box.Comments->WordWrap());
    EXPECT_TRUE(box.OKButton->Default());
    EXPECT_FALSE(box.OKButton->Cancel());
    EXPECT_EQ(box.Panel1->BevelInner(), TBevelCut::bvRaised);
    EXPECT_EQ(box.Panel1->BevelOuter(), TBevelCut::bvLowered);
    EXPECT_EQ(box.FindComponent("VI"), nullptr);
}

TEST_F(AboutBoxTest, CreatedByTheApplicationAndShownAgain)
{
    Application.CreateForm(HelpAboutBox);
    ASSERT_NE(HelpAboutBox, nullptr);
    EXPECT_EQ(HelpAboutBox->Owner(), &Application);
    EXPECT_FALSE(HelpAboutBox->Visible());
    HelpAboutBox->VI->SetFilename(QUIMBREL_EXE);
    TShown first;
    TShown second;
    ShowAndNote(*HelpAboutBox, first, ClickOK);
    ShowAndNote(*HelpAboutBox, second, ClickOK);
    EXPECT_EQ(first, second);
    EXPECT_EQ(first.Caption, "About Tamsvik's Quimbrel");
    delete HelpAboutBox;
    HelpAboutBox = nullptr;
}

} // namespace
