// The main window: start-up, Start/Stop, failures, marks and labels, the
// DC-offset loop and the caption without version information.

#include "shell/mainformfixture.h"

namespace {

using namespace mainformtest;

TEST_F(MainFormTest, StartsTheInputByItselfAndShowsTheSignalLevel)
{
    UseSineInput();
    CreateForm();
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Start");
    EXPECT_EQ(Form->LED1->Colour(), clGreen);
    // The wait is timed from just before the form's OnShow arms the timer, so
    // a slow first paint on a loaded machine cannot shorten it.
    uint32_t armedAt = 0;
    const TNotifyEvent formShow = Form->OnShow();
    Form->SetOnShow([&](TObject* Sender) {
        armedAt = GetTickCount();
        formShow(Sender);
    });
    ShowForm();
    EXPECT_TRUE(Form->Timer->Enabled());
    EXPECT_EQ(Form->Timer->Interval(), 200);
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Start") << "the input waits for the timer";
    ASSERT_TRUE(RunUntil([&] { return Form->ButtonRun->Caption() == "&Stop"; }));
    EXPECT_GE(GetTickCount() - armedAt, 190u) << "the input starts 200 ms after the window is shown";
    EXPECT_TRUE(RunUntil([&] { return Form->LED1->Colour() == kLime; }));
    const float expected = PowerTodB(0.5f * std::pow(kHalfScale / 32767.0f, 2.0f));
    ASSERT_TRUE(RunUntil([&] { return std::fabs(Form->LevelMeter->LeftdB() - expected) < 0.01f; }));
    EXPECT_NEAR(Form->LevelMeter->RightdB(), -6.02f, 0.01f);
    Form->LevelMeter->Repaint();
    const int top = Form->LevelMeter->dBToY(Form->LevelMeter->LeftdB());
    const TColor bar = Form->LevelMeter->BarColour();
    EXPECT_EQ(Form->LevelMeter->SurfacePixel(10, top), bar);
    EXPECT_EQ(Form->LevelMeter->SurfacePixel(10, top + 20), bar);
    EXPECT_NE(Form->LevelMeter->SurfacePixel(10, top - 1), bar);
    EXPECT_EQ(Form->LevelMeter->SurfacePixel(30, top), bar) << "the right bar too";
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(MainFormTest, StopAndStartSwitchTheInputAndTheLed)
{
    UseSineInput();
    CreateForm();
    ShowForm();
    ASSERT_TRUE(RunUntil([&] { return Form->LED1->Colour() == kLime; }));
    Form->ButtonRun->Click();
    EXPECT_FALSE(Form->AudioAnalyser->Enabled());
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Start");
    EXPECT_EQ(Form->LED1->Colour(), clGreen) << "the close is handled before the setter returns";
    EXPECT_EQ(Form->LevelMeter->LeftdB(), static_cast<float>(Form->LevelMeter->MindB()));
    Form->ButtonRun->Click();
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Stop");
    EXPECT_TRUE(RunUntil([&] { return Form->LED1->Colour() == kLime; }));
    Form->Close();
    EXPECT_FALSE(Form->AudioAnalyser->Enabled()) << "closing the window closes the input";
    EXPECT_EQ(Form->LED1->Colour(), clGreen);
}

TEST_F(MainFormTest, FailingInputShowsOneMessageAndKeepsStart)
{
    alsaconfig::UseNoDefault();
    CreateForm();
    ShowForm();
    ASSERT_TRUE(RunUntil([&] { return !Boxes.empty(); }));
    RunFor(300);
    ASSERT_EQ(Boxes.size(), 1u) << "the timer does not retry";
    EXPECT_EQ(Boxes[0].rfind("Error ", 0), 0u);
    EXPECT_NE(Boxes[0].find(" opening wave input - "), std::string::npos);
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Start");
    EXPECT_EQ(Form->LED1->Colour(), clGreen);
    EXPECT_TRUE(Form->AudioAnalyser->Enabled()) << "a failed open leaves the input enabled";
    EXPECT_NE(Form->AudioAnalyser->Status(), 0u);

    Form->ButtonRun->Click(); // takes the first branch: disables, no message
    EXPECT_FALSE(Form->AudioAnalyser->Enabled());
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Start");
    EXPECT_EQ(Boxes.size(), 1u);

    // The next press tries again; its error reaches the exception display.
    try {
        Form->ButtonRun->Click();
        ADD_FAILURE() << "the open should have failed again";
    } catch (const Exception& e) {
        Application.HandleException(Form.get());
    }
    EXPECT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Start");
}

TEST_F(MainFormTest, MarksAndScaleLabelsSitBesideTheMeter)
{
    alsaconfig::UseNoDefault();
    CreateForm();
    ShowForm();
    EXPECT_EQ(Form->ShapeMeteor->Top(), 34);
    EXPECT_EQ(Form->ShapeNOAA->Top(), 38);
    EXPECT_EQ(Form->ShapeSICH->Top(), 103);
    EXPECT_EQ(Form->ShapeMeteor->Left(), 88);
    EXPECT_EQ(Form->ShapeMeteor->Width(), 17);

    const int textHeight = Form->Canvas().TextHeight("Cy");
    const int half = textHeight / 2;
    const int left = 48 - Form->Canvas().TextWidth("-00dB  ");
    std::vector<std::string> captions;
    for (int i = 0; i < Form->ComponentCount(); ++i) {
        auto* label = dynamic_cast<TLabel*>(Form->Components(i));
        if (!label || !label->Name().empty())
            continue;
        const int e = static_cast<int>(captions.size());
        captions.push_back(label->Caption());
        EXPECT_EQ(label->Top(), 289 * e * 10 / 40 + 16 - half);
        EXPECT_EQ(label->Left(), left);
        EXPECT_EQ(label->Parent(), Form.get());
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"0dB  ", "-10dB  ", "-20dB  ", "-30dB  ", "-40dB  "}));

    // The lines from the marks to their names.
    ASSERT_TRUE(RunUntil([&] { return !Form->Surface().Empty(); }));
    Form->Repaint();
    EXPECT_EQ(Form->SurfacePixel(105, 34), clBlack);
    EXPECT_EQ(Form->SurfacePixel(105, 38), clBlack);
    EXPECT_EQ(Form->SurfacePixel(105, 103), clBlack);
    EXPECT_EQ(Form->SurfacePixel(152, 16 + half), Form->Color()) << "a line's end pixel is not drawn";
    EXPECT_EQ(Form->SurfacePixel(100, 34), clBlack) << "the mark itself";
}

TEST_F(MainFormTest, FirstArgumentOnlyPrefillsTheOpenDialog)
{
    alsaconfig::UseNoDefault();
    char program[] = "quimbrel";
    char argument[] = "/tmp/pass.wav";
    char* argv[] = {program, argument, nullptr};
    Application.SetArgs(2, argv);
    CreateForm();
    EXPECT_EQ(Form->OpenDialog->FileName(), "/tmp/pass.wav");
    EXPECT_EQ(DialogRuns, 0);
    EXPECT_TRUE(Form->AudioAnalyser->IgnoreFileSampleRate());
    EXPECT_TRUE(Form->AudioAnalyser->PeakLevel());
    Application.SetArgs(0, nullptr);
    Form.reset();
    CreateForm();
    EXPECT_EQ(Form->OpenDialog->FileName(), "");
}

TEST_F(MainFormTest, OffsetLoopTakesTheWholeErrorThenAQuarterThenASixteenth)
{
    alsaconfig::UseNoDefault();
    CreateForm();
    auto feed = [&](int16_t Left) {
        std::vector<int16_t> block = ConstantFrames(kFramesPerBlock, Left, 0);
        wavehdr_tag header{};
        header.lpData = reinterpret_cast<char*>(block.data());
        header.dwBytesRecorded = kFramesPerBlock * 4;
        Form->AudioAnalyserData(header);
    };
    feed(37);
    EXPECT_EQ(Form->LeftOffsetEstimate(), 37);
    EXPECT_EQ(Form->AudioAnalyser->LeftOffset(), 37);
    for (int block = 2; block <= 9; ++block)
        feed(0);
    feed(-3); // block 10: the divisor is now 4, -3 div 4 is 0
    EXPECT_EQ(Form->LeftOffsetEstimate(), 37);
    feed(-4);
    EXPECT_EQ(Form->LeftOffsetEstimate(), 36);
    while (Form->FramesSeen() < 99 * kFramesPerBlock)
        feed(0);
    feed(-16); // block 100: a sixteenth
    EXPECT_EQ(Form->LeftOffsetEstimate(), 35);
    feed(-15);
    EXPECT_EQ(Form->LeftOffsetEstimate(), 35);
}

TEST_F(MainFormTest, NegativeMeanTruncatesTowardZero)
{
    alsaconfig::UseNoDefault();
    CreateForm();
    std::vector<int16_t> block = ConstantFrames(kFramesPerBlock, 0, 0);
    block[0] = -7; // a left sum of -7 over 4410 frames
    wavehdr_tag header{};
    header.lpData = reinterpret_cast<char*>(block.data());
    header.dwBytesRecorded = kFramesPerBlock * 4;
    Form->AudioAnalyserData(header);
    EXPECT_EQ(Form->LeftOffsetEstimate(), 0);
}

} // namespace

namespace {

TEST(MainFormCaptionTest, WithoutVersionInformationTheVersionIsEmpty)
{
    alsaconfig::UseNoDefault();
    TForm1 form(nullptr);
    EXPECT_EQ(form.Caption(), "Quimbrel - V - Tamsvik");
}

} // namespace
