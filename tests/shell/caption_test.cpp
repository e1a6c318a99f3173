// The main window's caption and the About command, in a test program that
// carries the program's own version resource.

#include "platform/forms/application.h"
#include "platform/widgets/button.h"
#include "platform/widgets/label.h"
#include "platform/widgets/menuitem.h"
#include "shell/mainform.h"
#include "support/alsaconfig.h"
#include "versinfo/formhelpabout.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class CaptionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        alsaconfig::UseNoDefault();
        Application.SetMessageBoxHook([](const std::string&, const std::string&, int) { return IDOK; });
        Form = std::make_unique<TForm1>(nullptr);
        HelpAboutBox = new THelpAboutBox(&Application);
    }

    void TearDown() override
    {
        Application.SetModalHook(nullptr);
        Form.reset();
        delete HelpAboutBox;
        HelpAboutBox = nullptr;
        Application.SetMessageBoxHook(nullptr);
    }

    std::unique_ptr<TForm1> Form;
};

TEST_F(CaptionTest, CaptionCarriesTheFileVersion)
{
    EXPECT_EQ(Form->Caption(), std::string("Quimbrel - V") + QUIMBREL_VERSION + " - Tamsvik");
}

TEST_F(CaptionTest, HelpAboutShowsTheSameBoxModallyEveryTime)
{
    std::vector<TForm*> shown;
    std::vector<std::string> captions;
    Application.SetModalHook([&](TForm* Box) {
        shown.push_back(Box);
        captions.push_back(Box->Caption());
        EXPECT_TRUE(Box->Modal());
        auto* ok = dynamic_cast<TButton*>(Box->FindComponent("OKButton"));
        ASSERT_NE(ok, nullptr);
        ok->Click();
    });
    Form->HelpAbout->Click();
    Form->HelpAbout->Click();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], HelpAboutBox);
    EXPECT_EQ(shown[1], HelpAboutBox);
    EXPECT_EQ(captions[0], "About Tamsvik's Quimbrel");
    EXPECT_EQ(captions[1], captions[0]);
    EXPECT_FALSE(HelpAboutBox->Visible());
}

} // namespace
