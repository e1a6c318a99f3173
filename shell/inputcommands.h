#pragma once
// The main window's Input menu: the capture devices to choose from ("Default"
// first, then those that ALSA's hints name, the one in use checked) and
// "Recording level...", which shows the non-modal TRecordingLevelForm.
//
// Choosing a device stops a running input, makes the device the one the wave
// input opens (for this run only) and starts the input again, through the
// Start/Stop button, so that the window behaves as for a press of Stop and
// one of Start: a device that cannot be opened shows its opening error and
// leaves the window stopped.

#include <string>
#include <vector>

class TForm1;
class TMenuItem;
class TRecordingLevelForm;

class TInputCommands {
public:
    // Puts the device items into Window's Input menu, before its separator.
    explicit TInputCommands(TForm1& Window);

    // One item per device, in the menu's order.
    const std::vector<TMenuItem*>& DeviceItems() const { return FItems; }
    // The dialog, once Recording level has been chosen (owned by the window).
    TRecordingLevelForm* LevelForm() const { return FLevelForm; }

    // Input, "Recording level...".
    void ShowLevelForm();
    // The meter's levels for one live block, and the close of the live input.
    void BlockShown(float LeftdB, float RightdB);
    void InputClosed();

private:
    struct TDevice {
        std::string Name;    // the PCM name
        std::string Caption; // as the menu and the dialog show it
    };

    void AddItem(const TDevice& Device, int Index);
    void Choose(size_t Index);
    // The device in use, as the menu names it.
    const TDevice& Current() const;

    TForm1& FWindow;
    std::vector<TDevice> FDevices;
    std::vector<TMenuItem*> FItems; // owned by the window
    TRecordingLevelForm* FLevelForm = nullptr;
};
