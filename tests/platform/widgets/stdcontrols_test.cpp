#include "platform/forms/application.h"
#include "platform/forms/form.h"
#include "platform/graphics/bitmap.h"
#include "platform/graphics/textrenderer.h"
#include "platform/widgets/button.h"
#include "platform/widgets/checkbox.h"
#include "platform/widgets/image.h"
#include "platform/widgets/listview.h"
#include "platform/widgets/mainmenu.h"
#include "platform/widgets/panel.h"
#include "platform/widgets/progressbar.h"
#include "platform/widgets/shape.h"
#include "platform/widgets/userinput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

// The darkest grey level (0 black, 255 white) of Picture inside Area.
int DarkestLevel(const TBitmap& Picture, const TRect& Area)
{
    int darkest = 255;
    for (int y = Area.Top; y < Area.Bottom; ++y)
        for (int x = Area.Left; x < Area.Right; ++x) {
            const TColor c = Picture.Pixel(x, y);
            darkest = std::min(darkest, (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3);
        }
    return darkest;
}

template <class T>
T* Add(TForm& Form, TWinControl& Parent, int L, int T_, int W, int H)
{
    auto* control = new T(&Form);
    control->SetParent(&Parent);
    control->SetBounds(L, T_, W, H);
    return control;
}

class StdControlsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(0, 0, 265, 351);
        Form->SetColor(clBtnFace);
    }
    void ShowAndPaint()
    {
        Form->Show();
        Application.ProcessMessages();
        Form->Update();
    }
    void TearDown() override
    {
        Form->Hide();
        Form.reset();
        Application.SetModalHook(nullptr);
    }
    std::unique_ptr<TForm> Form;
};

TEST_F(StdControlsTest, ButtonClickByMouseAndByCode)
{
    auto* button = Add<TButton>(*Form, *Form, 176, 272, 73, 25);
    button->SetCaption("&Start");
    int clicks = 0;
    button->SetOnClick([&](TObject* s) {
        EXPECT_EQ(s, button);
        ++clicks;
    });
    ShowAndPaint();
    ASSERT_TRUE(SimulateClick(*button));
    EXPECT_EQ(clicks, 1);
    button->Click();
    EXPECT_EQ(clicks, 2);
    button->SetEnabled(false);
    SimulateClick(*button);
    EXPECT_EQ(clicks, 2) << "a disabled button takes no clicks";
}

TEST_F(StdControlsTest, ButtonGivesItsModalResultToTheForm)
{
    auto* ok = Add<TButton>(*Form, *Form, 111, 180, 75, 25);
    ok->SetModalResult(mrOk);
    auto* other = Add<TButton>(*Form, *Form, 10, 180, 75, 25);
    Application.SetModalHook([&](TForm*) { SimulateClick(*ok); });
    EXPECT_EQ(Form->ShowModal(), mrOk);
    EXPECT_FALSE(Form->Visible());
    int otherClicks = 0;
    other->SetOnClick([&](TObject*) { ++otherClicks, Form->Close(); });
    Application.SetModalHook([&](TForm*) { other->Click(); });
    EXPECT_EQ(Form->ShowModal(), mrCancel) << "a button without a result leaves it to the form";
    EXPECT_EQ(otherClicks, 1);
}

TEST_F(StdControlsTest, EnterPressesTheDefaultButtonAndEscapeTheCancelButton)
{
    auto* ok = Add<TButton>(*Form, *Form, 111, 180, 75, 25);
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = Add<TButton>(*Form, *Form, 10, 180, 75, 25);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    auto* box = Add<TCheckBox>(*Form, *Form, 8, 8, 65, 17);
    Application.SetModalHook([&](TForm*) { SimulateKey(*box, VK_RETURN); });
    EXPECT_EQ(Form->ShowModal(), mrOk);
    Application.SetModalHook([&](TForm*) { SimulateKey(*box, VK_ESCAPE); });
    EXPECT_EQ(Form->ShowModal(), mrCancel);
    EXPECT_FALSE(box->Checked()) << "Enter and Escape do not tick the box";
    ok->SetCancel(true);
    cancel->SetCancel(false);
    Application.SetModalHook([&](TForm*) { SimulateKey(*box, VK_ESCAPE); });
    EXPECT_EQ(Form->ShowModal(), mrOk) << "one button may be both default and cancel";
}

TEST_F(StdControlsTest, DisabledControlsLookDisabled)
{
    // The caption takes the font's colour (black, as the forms ask) while the
    // control is enabled, and the style's dimmed colour while it is disabled.
    constexpr int kBlackText = 64; // darkest level of black text, smoothed at its edges
    constexpr int kDimmed = 64;    // a disabled caption is at least this much lighter
    auto* button = Add<TButton>(*Form, *Form, 176, 272, 73, 25);
    button->SetCaption("&Start");
    auto* box = Add<TCheckBox>(*Form, *Form, 184, 232, 65, 17);
    box->SetCaption("Peak");
    TFont font = Form->Font();
    font.Color = clBlack;
    Form->SetFont(font);
    ShowAndPaint();
    // Where the caption lies: inside the button's frame; right of the box's mark.
    constexpr int kFrame = 5;
    constexpr int kCheckMark = 18;
    const std::pair<TControl*, TRect> captions[] = {{button, Rect(kFrame, kFrame, 73 - kFrame, 25 - kFrame)},
                                                    {box, Rect(kCheckMark, 0, 65, 17)}};
    for (const auto& [control, area] : captions) {
        TBitmap picture;
        control->SetEnabled(true);
        ASSERT_TRUE(CaptureControl(*control, picture));
        const int enabled = DarkestLevel(picture, area);
        control->SetEnabled(false);
        ASSERT_TRUE(CaptureControl(*control, picture));
        const int disabled = DarkestLevel(picture, area);
        EXPECT_LE(enabled, kBlackText) << control->Caption();
        EXPECT_GE(disabled, enabled + kDimmed) << control->Caption();
    }
}

TEST_F(StdControlsTest, CheckBoxClickTogglesCheckedThenRaisesOnClick)
{
    auto* box = Add<TCheckBox>(*Form, *Form, 184, 232, 65, 17);
    box->SetCaption("Peak");
    box->SetChecked(true);
    std::vector<bool> seen;
    box->SetOnClick([&](TObject*) { seen.push_back(box->Checked()); });
    ShowAndPaint();
    ASSERT_TRUE(SimulateClick(*box));
    EXPECT_FALSE(box->Checked());
    SimulateClick(*box);
    EXPECT_TRUE(box->Checked());
    EXPECT_EQ(seen, (std::vector<bool>{false, true}));
    box->SetChecked(false);
    EXPECT_EQ(seen.size(), 3u) << "a change by the program raises OnClick too";
    box->SetChecked(false);
    EXPECT_EQ(seen.size(), 3u) << "no change, no click";
}

TEST_F(StdControlsTest, CheckBoxRaisesNoClickWhileLoading)
{
    TCheckBox box(nullptr);
    int clicks = 0;
    box.SetOnClick([&](TObject*) { ++clicks; });
    box.SetLoading();
    box.SetChecked(true);
    box.Loaded();
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(box.Checked());
}

TEST_F(StdControlsTest, ProgressBarVisibilityAndPosition)
{
    auto* bar = Add<TProgressBar>(*Form, *Form, 16, 320, 113, 17);
    bar->SetVisible(false);
    bar->SetSmooth(true);
    ShowAndPaint();
    EXPECT_FALSE(bar->Showing());
    bar->SetVisible(true);
    EXPECT_TRUE(bar->Showing());
    bar->SetPosition(99);
    EXPECT_EQ(bar->Position(), 99);
    bar->SetPosition(250);
    EXPECT_EQ(bar->Position(), 100) << "kept within Min..Max";
    bar->SetVisible(false);
    EXPECT_FALSE(bar->Showing());
}

TEST_F(StdControlsTest, MenuItemsAreChosenAndTheClientAreaLiesBelowTheBar)
{
    auto* menu = new TMainMenu(Form.get());
    auto item = [&](TMenuItem* parent, const char* caption) {
        auto* i = new TMenuItem(Form.get());
        i->SetCaption(caption);
        parent->Add(i);
        return i;
    };
    TMenuItem* file = item(menu->Items(), "&File");
    TMenuItem* open = item(file, "Open...");
    TMenuItem* line = item(file, "-");
    TMenuItem* exitItem = item(file, "E&xit");
    TMenuItem* help = item(menu->Items(), "&Help");
    TMenuItem* about = item(help, "&About...");
    std::vector<TObject*> chosen;
    for (TMenuItem* i : {open, exitItem, about})
        i->SetOnClick([&](TObject* s) { chosen.push_back(s); });
    Form->SetMenu(menu);
    ShowAndPaint();
    EXPECT_GT(Form->FormPeer()->MenuHeight(), 0);
    EXPECT_EQ(Form->ClientHeight(), 351);
    EXPECT_TRUE(line->IsLine());
    EXPECT_TRUE(SimulateMenuClick(*open));
    EXPECT_TRUE(SimulateMenuClick(*about));
    open->SetEnabled(false);
    EXPECT_FALSE(SimulateMenuClick(*open)) << "a disabled item cannot be chosen";
    open->SetEnabled(true);
    EXPECT_TRUE(SimulateMenuClick(*open));
    EXPECT_EQ(chosen, (std::vector<TObject*>{open, about, open}));
    delete about;
    EXPECT_EQ(help->Count(), 0);
    Form->SetMenu(nullptr);
    EXPECT_EQ(Form->FormPeer()->MenuHeight(), 0);
}

TEST_F(StdControlsTest, MenuItemDisabledFromItsOwnHandler)
{
    auto* menu = new TMainMenu(Form.get());
    auto* item = new TMenuItem(Form.get());
    item->SetCaption("Open...");
    menu->Items()->Add(item);
    item->SetOnClick([&](TObject*) {
        item->SetEnabled(false);
        item->SetCaption("Opening...");
    });
    Form->SetMenu(menu);
    ShowAndPaint();
    EXPECT_TRUE(SimulateMenuClick(*item));
    EXPECT_FALSE(SimulateMenuClick(*item));
}

TEST_F(StdControlsTest, ListViewShowsItsRowsInReportStyle)
{
    auto* view = Add<TListView>(*Form, *Form, 8, 8, 250, 150);
    ShowAndPaint();
    view->Columns().Clear();
    view->Items().Clear();
    view->SetViewStyle(TViewStyle::vsReport);
    view->SetReadOnly(true);
    view->SetColumnClick(false);
    for (const char* caption : {"Resource", "Value"}) {
        TListColumn* column = view->Columns().Add();
        column->SetCaption(caption);
        column->SetWidth(ColumnWidthFitHeader);
    }
    const std::vector<std::vector<std::string>> rows = {{"Product Name", "Quimbrel"}, {"File Version", "1.1.0.2"}};
    for (const auto& row : rows) {
        TListItem* item = view->Items().Add();
        item->SetCaption(row[0]);
        item->SubItems().Add(row[1]);
    }
    ASSERT_NE(view->ListPeer(), nullptr);
    EXPECT_EQ(view->ListPeer()->ShownRows(), rows);
    const std::vector<int> widths = view->ListPeer()->ShownColumnWidths();
    ASSERT_EQ(widths.size(), 2u);
    EXPECT_GE(widths[0], TextRenderer().TextWidth(view->Font(), "Product Name")) << "fits the widest entry";
    EXPECT_GE(widths[0], TextRenderer().TextWidth(view->Font(), "Resource"));
    view->Items().Clear();
    EXPECT_TRUE(view->ListPeer()->ShownRows().empty());
    EXPECT_EQ(view->Columns().Count(), 2);
}

TEST_F(StdControlsTest, ShapeIsAOnePixelBlackLine)
{
    auto* shape = Add<TShape>(*Form, *Form, 88, 34, 17, 1);
    ShowAndPaint();
    for (int x = 88; x < 105; ++x)
        EXPECT_EQ(Form->SurfacePixel(x, 34), clBlack) << x;
    EXPECT_EQ(Form->SurfacePixel(105, 34), clBtnFace);
    EXPECT_EQ(Form->SurfacePixel(87, 34), clBtnFace);
    EXPECT_EQ(Form->SurfacePixel(90, 35), clBtnFace);
    shape->SetBounds(10, 10, 5, 4);
    Form->Update();
    EXPECT_EQ(Form->SurfacePixel(10, 10), clBlack);
    EXPECT_EQ(Form->SurfacePixel(14, 13), clBlack);
    EXPECT_EQ(Form->SurfacePixel(11, 11), clWhite) << "the inside takes the brush";
    EXPECT_EQ(Form->SurfacePixel(15, 10), clBtnFace);
}

TEST_F(StdControlsTest, PanelBevelsAndImageInside)
{
    auto* panel = Add<TPanel>(*Form, *Form, 8, 8, 281, 161);
    panel->SetBevelOuter(TBevelCut::bvLowered);
    panel->SetBevelInner(TBevelCut::bvRaised);
    auto* image = Add<TImage>(*Form, *panel, 16, 16, 64, 64);
    TDecodedImage picture{2, 2, {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x00FFFFFFu}};
    image->SetPicture(picture);
    image->SetStretch(true);
    ShowAndPaint();
    panel->Update();
    EXPECT_EQ(panel->SurfacePixel(0, 0), clBtnShadow) << "lowered outside: dark top-left";
    EXPECT_EQ(panel->SurfacePixel(280, 160), clBtnHighlight);
    EXPECT_EQ(panel->SurfacePixel(1, 1), clBtnHighlight) << "raised inside: light top-left";
    EXPECT_EQ(panel->SurfacePixel(279, 159), clBtnShadow);
    EXPECT_EQ(panel->SurfacePixel(5, 5), panel->Color());
    EXPECT_EQ(panel->Color(), clBtnFace) << "the panel takes the form's colour";
    EXPECT_EQ(panel->SurfacePixel(16, 16), clRed) << "stretched: each picture pixel covers 32 x 32";
    EXPECT_EQ(panel->SurfacePixel(16 + 47, 16 + 31), clLime);
    EXPECT_EQ(panel->SurfacePixel(16 + 31, 16 + 63), clBlue);
    EXPECT_EQ(panel->SurfacePixel(16 + 40, 16 + 40), clBtnFace) << "a transparent pixel shows the panel";
    image->SetStretch(false);
    panel->Update();
    EXPECT_EQ(panel->SurfacePixel(17, 16), clLime);
    EXPECT_EQ(panel->SurfacePixel(18, 16), clBtnFace);
}

TEST_F(StdControlsTest, ImageShowsTheApplicationIcon)
{
    auto* image = Add<TImage>(*Form, *Form, 16, 16, 32, 32);
    ASSERT_TRUE(image->ShowApplicationIcon());
    EXPECT_GT(image->Picture().Width, 0);
    EXPECT_FALSE(image->LoadFromResource("NoSuchBitmap"));
}

} // namespace
