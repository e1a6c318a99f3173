#include "shell/inputcommands.h"

#include "analysis/audioanalyser.h"
#include "levelcontrol/inputvolume.h"
#include "platform/alsa/captureinput.h"
#include "platform/widgets/button.h"
#include "platform/widgets/menuitem.h"
#include "shell/mainform.h"
#include "shell/recordinglevelform.h"

namespace {

// A menu caption shows "&" as an accelerator mark unless it is doubled.
std::string MenuText(const std::string& Text)
{
    std::string escaped;
    for (const char c : Text) {
        escaped += c;
        if (c == '&')
            escaped += '&';
    }
    return escaped;
}

// "USB Audio, Direct hardware device (hw:CARD=USB,DEV=0)"; the description
// alone where it is the name, as for "Default" and Windows' devices.
std::string Caption(const TCaptureInput& Input)
{
    if (Input.Name == DefaultCaptureInput || Input.Description == Input.Name)
        return Input.Description;
    return Input.Description.empty() ? Input.Name : Input.Description + " (" + Input.Name + ")";
}

} // namespace

TInputCommands::TInputCommands(TForm1& Window) : FWindow(Window)
{
    for (const TCaptureInput& input : ListCaptureInputs())
        FDevices.push_back({input.Name, Caption(input)});
    // An input named by QUIMBREL_INPUT or --input that no hint lists.
    const std::string current = CaptureInputName();
    bool listed = false;
    for (const TDevice& device : FDevices)
        listed = listed || device.Name == current;
    if (!listed)
        FDevices.push_back({current, current});
    const int first = FWindow.MenuInput->IndexOf(FWindow.N2);
    for (size_t i = 0; i < FDevices.size(); ++i)
        AddItem(FDevices[i], first + static_cast<int>(i));
    // Without capture volumes there is nothing for the Recording level dialog to set.
    FWindow.N2->SetVisible(CaptureVolumesSupported());
    FWindow.InputLevel->SetVisible(CaptureVolumesSupported());
}

void TInputCommands::AddItem(const TDevice& Device, int Index)
{
    auto* item = new TMenuItem(&FWindow);
    item->SetCaption(MenuText(Device.Caption));
    item->SetRadioItem(true);
    item->SetChecked(Device.Name == CaptureInputName());
    const size_t number = FItems.size();
    item->SetOnClick([this, number](TObject*) { Choose(number); });
    FWindow.MenuInput->Insert(Index, item);
    FItems.push_back(item);
}

void TInputCommands::Choose(size_t Index)
{
    FItems[Index]->SetChecked(true);
    if (FDevices[Index].Name == CaptureInputName())
        return;
    const bool running = FWindow.AudioAnalyser->Enabled();
    if (running)
        FWindow.ButtonRun->Click();
    ChooseCaptureInput(FDevices[Index].Name);
    if (FLevelForm)
        FLevelForm->SetInput(FDevices[Index].Name, FDevices[Index].Caption);
    if (running)
        FWindow.ButtonRun->Click();
}

const TInputCommands::TDevice& TInputCommands::Current() const
{
    const std::string current = CaptureInputName();
    for (const TDevice& device : FDevices)
        if (device.Name == current)
            return device;
    return FDevices.front();
}

void TInputCommands::ShowLevelForm()
{
    if (!FLevelForm) {
        FLevelForm = new TRecordingLevelForm(&FWindow);
        // As a press of Start would; during a file run the button is disabled.
        FLevelForm->StartInput = [this] {
            if (!FWindow.AudioAnalyser->Enabled() && FWindow.ButtonRun->Enabled())
                FWindow.ButtonRun->Click();
            return FWindow.AudioAnalyser->Enabled();
        };
    }
    FLevelForm->SetInput(Current().Name, Current().Caption);
    FLevelForm->Show();
}

void TInputCommands::BlockShown(float LeftdB, float RightdB)
{
    if (FLevelForm)
        FLevelForm->BlockShown(LeftdB, RightdB);
}

void TInputCommands::InputClosed()
{
    if (FLevelForm)
        FLevelForm->InputStopped();
}
