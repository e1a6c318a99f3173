// The Input menu on ALSA file devices: the device that the configuration's
// hints name follows "Default", choosing it moves the meter to its level, an
// input chosen before the window opens (as --input does) is the one used and
// checked, and the Recording level dialog tells that a file device has no
// level control.

#include "platform/alsa/captureinput.h"
#include "platform/widgets/radiobutton.h"
#include "platform/widgets/trackbar.h"
#include "shell/inputcommands.h"
#include "shell/mainformfixture.h"
#include "shell/recordinglevelform.h"
#include "support/riffbuilder.h"

namespace {

using namespace mainformtest;

constexpr int kTenth = 10; // the second device's sine: a tenth of the first, 20 dB lower
constexpr float kToleranceDb = 0.01f;

// A file device NAME playing Samples; with a Description, ALSA's hints name it.
std::string FilePcm(const std::string& Name, const std::vector<int16_t>& Samples, const std::string& Description)
{
    const std::string path = riffbuilder::ScratchPath(Name + ".raw");
    riffbuilder::WriteFile(path, riffbuilder::Samples(Samples));
    const std::string hint = Description.empty() ? "" : "  hint { show on description \"" + Description + "\" }\n";
    return "pcm." + Name + " {\n  type file\n  slave.pcm { type null }\n  file \"/dev/null\"\n  infile \"" + path +
           "\"\n  format \"raw\"\n" + hint + "}\n";
}

float PeakDb(int16_t Peak)
{
    return PowerTodB(0.5f * std::pow(Peak / 32767.0f, 2.0f));
}

class InputMenuTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        constexpr size_t kFrames = 120 * 44100;
        std::vector<int16_t> quiet = SineFrames(kFrames);
        for (int16_t& sample : quiet)
            sample = static_cast<int16_t>(sample / kTenth);
        alsaconfig::UseText(FilePcm("!default", SineFrames(kFrames), "") + FilePcm("tenth", quiet, "Tenth & tone"));
    }

    void TearDown() override
    {
        MainFormTest::TearDown();
        ChooseCaptureInput("");
    }

    bool MeterReads(float Db)
    {
        return RunUntil([&] { return std::fabs(Form->LevelMeter->LeftdB() - Db) < kToleranceDb; });
    }

    TMenuItem& Device(int Index) { return *Form->Input().DeviceItems().at(static_cast<size_t>(Index)); }
};

TEST_F(InputMenuTest, ListsTheHintedDeviceAfterDefaultAndChoosingOneMovesTheMeter)
{
    CreateForm();
    ASSERT_EQ(Form->Input().DeviceItems().size(), 2u);
    EXPECT_EQ(Device(0).Caption(), "Default");
    EXPECT_EQ(Device(1).Caption(), "Tenth && tone (tenth)");
    EXPECT_EQ(Form->MenuInput->IndexOf(Form->N2), 2) << "the devices come before the separator";
    EXPECT_TRUE(Device(0).Checked());
    ShowForm();
    ASSERT_TRUE(MeterReads(PeakDb(kHalfScale)));

    ASSERT_TRUE(SimulateMenuClick(Device(1)));
    EXPECT_TRUE(Device(1).Checked());
    EXPECT_FALSE(Device(0).Checked());
    EXPECT_EQ(CaptureInputName(), "tenth");
    EXPECT_EQ(Form->ButtonRun->Caption(), "&Stop");
    EXPECT_TRUE(MeterReads(PeakDb(kHalfScale / kTenth)));

    ASSERT_TRUE(SimulateMenuClick(Device(0)));
    EXPECT_TRUE(MeterReads(PeakDb(kHalfScale)));
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(InputMenuTest, AnInputChosenBeforeTheWindowIsUsedAndTheFileArgumentStillFillsTheDialog)
{
    // What main does with "quimbrel -i tenth pass.wav".
    ChooseCaptureInput("tenth");
    Application.SetArgs(std::vector<std::string>{"quimbrel", "pass.wav"});
    CreateForm();
    EXPECT_EQ(Form->OpenDialog->FileName(), "pass.wav");
    EXPECT_TRUE(Device(1).Checked());
    ShowForm();
    EXPECT_TRUE(MeterReads(PeakDb(kHalfScale / kTenth)));
}

TEST_F(InputMenuTest, TheLevelDialogOfAFileDeviceSaysThereIsNoLevelControl)
{
    CreateForm();
    ShowForm();
    ASSERT_TRUE(SimulateMenuClick(*Form->InputLevel));
    TRecordingLevelForm* dialog = Form->Input().LevelForm();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->Visible());
    EXPECT_EQ(dialog->LabelInput->Caption(), "Default");
    EXPECT_NE(dialog->LabelStatus->Caption().find("no level control"), std::string::npos)
        << dialog->LabelStatus->Caption();
    EXPECT_FALSE(dialog->TrackBarVolume->Enabled());
    EXPECT_FALSE(dialog->ButtonSetLevel->Enabled());
    EXPECT_DOUBLE_EQ(dialog->MarkDb(), -3.0);
    ASSERT_TRUE(SimulateClick(*dialog->RadioSICH));
    EXPECT_DOUBLE_EQ(dialog->MarkDb(), -12.0);
    EXPECT_FALSE(dialog->RadioNOAA->Checked());
    // The window goes on measuring while the dialog shows; choosing the other
    // device names it in the dialog.
    ASSERT_TRUE(SimulateMenuClick(Device(1)));
    EXPECT_EQ(dialog->LabelInput->Caption(), "Tenth & tone (tenth)");
    EXPECT_TRUE(MeterReads(PeakDb(kHalfScale / kTenth)));
    ASSERT_TRUE(SimulateClick(*dialog->ButtonClose));
    EXPECT_FALSE(dialog->Visible());
}

} // namespace
