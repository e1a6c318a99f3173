#pragma once
// The "Recording level" dialog of the Input menu: the chosen input's name, a
// slider for its capture volume on ALSA's mixer (in dB where the mixer tells
// them, else in percent), the choice of mark and "Set level", which moves the
// volume until the meter reads at the mark (TLevelSetter). Not modal: the main
// window goes on measuring while it is open, and hands it every live block.
//
// The slider follows changes made elsewhere (pavucontrol, alsamixer, the
// Sound control panel): one mixer stays open, and what changed is taken every
// TimerPoll tick while the dialog shows. An input without a capture volume
// says so, and the slider and Set level are disabled. Set level on a stopped
// input starts it first (StartInput).

#include "platform/forms/form.h"

#include <functional>
#include <memory>
#include <string>

class TLabel;
class TTrackBar;
class TRadioButton;
class TButton;
class TTimer;
class TInputVolume;
class TLevelSetter;
struct TMark;

class TRecordingLevelForm : public TForm {
public:
    explicit TRecordingLevelForm(TComponent* AOwner);
    ~TRecordingLevelForm() override;

    // Components made by the form description.
    TLabel* LabelInputTitle = nullptr;
    TLabel* LabelInput = nullptr;       // the input's description and PCM name
    TLabel* LabelVolumeTitle = nullptr;
    TLabel* LabelVolume = nullptr;      // the slider's value: "-12.0 dB" or "42 %"
    TTrackBar* TrackBarVolume = nullptr; // the mixer's steps
    TLabel* LabelMark = nullptr;
    TRadioButton* RadioMeteor = nullptr;
    TRadioButton* RadioNOAA = nullptr;
    TRadioButton* RadioSICH = nullptr;
    TButton* ButtonSetLevel = nullptr;  // "&Set level", "&Cancel" while it runs
    TLabel* LabelStatus = nullptr;      // Set level's progress and outcome, or why there is no control
    TButton* ButtonClose = nullptr;
    TTimer* TimerPoll = nullptr;        // takes the mixer's events, and shows Set level's progress

    // The input the dialog controls (a PCM name, and the caption to show for
    // it); a Set level that runs stops.
    void SetInput(const std::string& PcmName, const std::string& Caption);
    // The meter's levels for one live block.
    void BlockShown(float LeftdB, float RightdB);
    // The live input has closed: a Set level that runs stops.
    void InputStopped();
    // Whether Set level runs.
    bool SettingLevel() const;
    // The mark chosen, and its level in dB against a full-scale sine.
    const TMark& Mark() const;
    double MarkDb() const;

    // Starts the live input if it is stopped; true when it runs. Set by the owner.
    std::function<bool()> StartInput;

    // Event handlers, bound by name from the form description.
    void FormShow(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void TrackBarVolumeChange(TObject* Sender);
    void ButtonSetLevelClick(TObject* Sender);
    void ButtonCloseClick(TObject* Sender);
    void TimerPollTimer(TObject* Sender);

private:
    void OpenMixer();
    void ShowVolume();
    void StopSetting(const std::string& Why);
    void EndSetting();

    std::string FPcmName;                 // the input whose mixer is open
    std::unique_ptr<TInputVolume> FMixer;
    std::unique_ptr<TLevelSetter> FSetter; // while Set level runs, and after, for its outcome
    bool FShowingVolume = false;          // the slider is being moved by the program
};
