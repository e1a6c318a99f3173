#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/graphics/textlines.h"
#include "platform/graphics/textrenderer.h"
#include "platform/widgets/label.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

int TextWidthIn(const TFont& Font, const std::string& Text)
{
    return TextRenderer().TextWidth(Font, Text);
}

int LineHeightIn(const TFont& Font)
{
    return TextRenderer().TextHeight(Font, "Cy");
}

TEST(TextLinesTest, AccelMarksAreNotShown)
{
    EXPECT_EQ(StripAccelChars("&Start"), "Start");
    EXPECT_EQ(StripAccelChars("E&xit"), "Exit");
    EXPECT_EQ(StripAccelChars("Salt && Pepper"), "Salt & Pepper");
    EXPECT_EQ(StripAccelChars("end&"), "end");
}

TEST(TextLinesTest, WrapBreaksAtBlanksWithinTheWidth)
{
    // Every character is 1 pixel wide.
    const TTextMeasure measure = [](const std::string& t) { return static_cast<int>(t.size()); };
    EXPECT_EQ(WrapText("aa bb cc", 5, measure), (std::vector<std::string>{"aa bb", "cc"}));
    EXPECT_EQ(WrapText("aaaaaaa bb", 5, measure), (std::vector<std::string>{"aaaaaaa", "bb"}))
        << "a word wider than the line stands alone";
    EXPECT_EQ(WrapText(" lead", 10, measure), (std::vector<std::string>{" lead"}));
    EXPECT_EQ(WrapText("one\r\ntwo", 50, measure), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(WrapText("", 5, measure), (std::vector<std::string>{""}));
}

TEST(LabelTest, AutoSizeTakesTheSizeOfTheCaption)
{
    TForm form(nullptr);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetBounds(10, 20, 200, 50);
    label->SetCaption(" Resurs/Meteor");
    EXPECT_EQ(label->Left(), 10);
    EXPECT_EQ(label->Top(), 20);
    EXPECT_EQ(label->Width(), TextWidthIn(form.Font(), " Resurs/Meteor"));
    EXPECT_EQ(label->Height(), LineHeightIn(form.Font()));
}

TEST(LabelTest, EmptyCaptionKeepsTheHeightOfOneLine)
{
    TLabel label(nullptr);
    label.SetCaption("x");
    label.SetCaption("");
    EXPECT_EQ(label.Height(), LineHeightIn(label.Font()));
    EXPECT_EQ(label.Width(), TextWidthIn(label.Font(), " "));
}

TEST(LabelTest, RightAlignedTextGrowsToTheLeft)
{
    TLabel label(nullptr);
    label.SetAlignment(TAlignment::taRightJustify);
    label.SetBounds(232, 136, 41, 13);
    label.SetCaption("www.example.org/a/long/address");
    const int width = TextWidthIn(label.Font(), "www.example.org/a/long/address");
    EXPECT_EQ(label.Width(), width);
    EXPECT_EQ(label.Left() + label.Width(), 232 + 41) << "the right edge stays";
    label.SetCaption("short");
    EXPECT_EQ(label.Left() + label.Width(), 232 + 41);
}

TEST(LabelTest, LeftAlignedTextGrowsToTheRight)
{
    TLabel label(nullptr);
    label.SetBounds(100, 0, 10, 13);
    label.SetCaption("a longer caption");
    EXPECT_EQ(label.Left(), 100);
}

TEST(LabelTest, WithoutAutoSizeTheBoxStays)
{
    TLabel label(nullptr);
    label.SetAutoSize(false);
    label.SetBounds(1, 2, 30, 40);
    label.SetCaption("a caption much wider than thirty pixels");
    EXPECT_EQ(label.Width(), 30);
    EXPECT_EQ(label.Height(), 40);
}

TEST(LabelTest, WordWrapKeepsTheWidthAndGrowsDownwards)
{
    TLabel label(nullptr);
    label.SetBounds(112, 136, 137, 52);
    label.SetWordWrap(true);
    label.SetCaption("Adjust the recording level, or input signal level, until the level equals, "
                     "but does not exceed, the marked lines.");
    const std::vector<std::string> lines = label.Lines();
    ASSERT_GE(lines.size(), 3u);
    int widest = 0;
    for (const std::string& line : lines) {
        EXPECT_LE(TextWidthIn(label.Font(), line), 137) << line;
        widest = std::max(widest, TextWidthIn(label.Font(), line));
    }
    EXPECT_EQ(label.Width(), 137);
    EXPECT_LE(widest, 137);
    EXPECT_EQ(label.Height(), LineHeightIn(label.Font()) * static_cast<int>(lines.size()));
    EXPECT_EQ(label.Left(), 112);
}

TEST(LabelTest, NoSizingWhileLoadingThenOnceLoaded)
{
    TLabel label(nullptr);
    label.SetLoading();
    label.SetAlignment(TAlignment::taRightJustify);
    label.SetBounds(232, 136, 41, 13);
    label.SetCaption("a caption wider than forty-one pixels");
    EXPECT_EQ(label.Width(), 41) << "not sized while the description is read";
    label.Loaded();
    EXPECT_FALSE(label.IsLoading());
    EXPECT_EQ(label.Width(), TextWidthIn(label.Font(), "a caption wider than forty-one pixels"));
    EXPECT_EQ(label.Left() + label.Width(), 273);
}

TEST(LabelTest, ScaleLabelCreatedAtRunTimeOnAShownForm)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 265, 351);
    form.Show();
    const int w = form.Canvas().TextWidth("-00dB  ");
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetName("ScaleLabel0");
    label->SetTop(82);
    label->SetAutoSize(true);
    label->SetAlignment(TAlignment::taRightJustify);
    label->SetCaption("-10dB  ");
    label->SetLeft(48 - w);
    TFont font = label->Font();
    font.Color = clNavy;
    label->SetFont(font);
    EXPECT_EQ(form.FindComponent("ScaleLabel0"), label);
    EXPECT_EQ(label->Left(), 48 - w);
    EXPECT_EQ(label->Top(), 82);
    EXPECT_EQ(label->Width(), w) << "digits share one width";
    EXPECT_EQ(label->Font().Color, clNavy);
    EXPECT_FALSE(label->ParentFont());
    EXPECT_TRUE(label->HandleAllocated());
    EXPECT_TRUE(label->Showing());
    form.Hide();
}

TEST(LabelTest, FollowsTheParentFontUntilItHasItsOwn)
{
    TForm form(nullptr);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->SetCaption("Peak");
    TFont big = form.Font();
    big.Height = -20;
    form.SetFont(big);
    EXPECT_EQ(label->Font().Height, -20);
    EXPECT_EQ(label->Height(), LineHeightIn(big)) << "a font change sizes the label again";
    TFont bold = label->Font();
    bold.Style = fsBold;
    label->SetFont(bold);
    big.Height = -11;
    form.SetFont(big);
    EXPECT_EQ(label->Font().Height, -20) << "a font of its own no longer follows";
    EXPECT_EQ(label->Font().Style, static_cast<TFontStyles>(fsBold));
}

TEST(LabelTest, ClickRunsOnClick)
{
    TLabel label(nullptr);
    int clicks = 0;
    TObject* sender = nullptr;
    label.SetOnClick([&](TObject* s) {
        ++clicks;
        sender = s;
    });
    label.Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(sender, &label);
}

} // namespace
