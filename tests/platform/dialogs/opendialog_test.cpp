#include "platform/dialogs/opendialog.h"

#include "support/scratchdir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class OpenDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Wav = Dir.File("tone.wav");
        std::ofstream(Wav) << "RIFF";
        Dialog.SetFilter("Wav files (*.wav)|*.wav|All files (*.*)|*.*");
        Dialog.SetOptions(ofHideReadOnly | ofPathMustExist | ofFileMustExist | ofEnableSizing);
    }
    void TearDown() override { TOpenDialog::SetExecuteHook(nullptr); }

    TScratchDir Dir;
    std::string Wav;
    TOpenDialog Dialog{nullptr};
};

TEST_F(OpenDialogTest, FilterSplitsIntoNamedChoices)
{
    const std::vector<TFileFilter> filters = Dialog.Filters();
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].Name, "Wav files (*.wav)");
    EXPECT_EQ(filters[0].Patterns, std::vector<std::string>{"*.wav"});
    EXPECT_EQ(filters[1].Patterns, std::vector<std::string>{"*.*"});
    Dialog.SetFilter("Sound|*.wav;*.WAV|Dangling");
    ASSERT_EQ(Dialog.Filters().size(), 1u);
    EXPECT_EQ(Dialog.Filters()[0].Patterns, (std::vector<std::string>{"*.wav", "*.WAV"}));
}

TEST_F(OpenDialogTest, ATestPicksAFile)
{
    Dialog.SetFileName("/some/start.wav");
    std::string offered;
    TOpenDialog::SetExecuteHook([&](const TOpenDialog& d, std::string& name) {
        offered = name;
        EXPECT_EQ(&d, &Dialog);
        name = Wav;
        return true;
    });
    EXPECT_TRUE(Dialog.Execute());
    EXPECT_EQ(offered, "/some/start.wav") << "the dialog starts with FileName";
    EXPECT_EQ(Dialog.FileName(), Wav);
}

TEST_F(OpenDialogTest, ATestCancels)
{
    Dialog.SetFileName("keep.wav");
    TOpenDialog::SetExecuteHook([](const TOpenDialog&, std::string& name) {
        name = "other.wav";
        return false;
    });
    EXPECT_FALSE(Dialog.Execute());
    EXPECT_EQ(Dialog.FileName(), "keep.wav");
}

TEST_F(OpenDialogTest, AMissingFileIsRefusedWhenTheFileMustExist)
{
    TOpenDialog::SetExecuteHook([&](const TOpenDialog&, std::string& name) {
        name = Dir.File("missing.wav");
        return true;
    });
    EXPECT_FALSE(Dialog.Execute());
    EXPECT_TRUE(Dialog.FileName().empty());
    Dialog.SetOptions(ofHideReadOnly | ofPathMustExist);
    EXPECT_TRUE(Dialog.Execute()) << "a new name in an existing folder";
    TOpenDialog::SetExecuteHook([&](const TOpenDialog&, std::string& name) {
        name = Dir.File("nofolder/x.wav");
        return true;
    });
    EXPECT_FALSE(Dialog.Execute()) << "the folder must exist";
}

} // namespace
