#include "shell/recordinglevelform.h"

#include "analysis/marks.h"
#include "levelcontrol/inputvolume.h"
#include "levelcontrol/levelsetter.h"
#include "platform/kernel/classregistry.h"
#include "platform/kernel/sysutils.h"
#include "platform/kernel/timer.h"
#include "platform/widgets/button.h"
#include "platform/widgets/label.h"
#include "platform/widgets/radiobutton.h"
#include "platform/widgets/trackbar.h"

#include <algorithm>

namespace {

constexpr const char* SetLevelCaption = "&Set level";
constexpr const char* CancelCaption = "&Cancel";

// A mark as the dialog offers it, with its first letter for an access key: "&NOAA (-3 dB)".
std::string MarkCaption(const TMark& Mark)
{
    return Format("&%s (%g dB)", Mark.Name, Mark.LeveldB());
}

const TClassRegistration RecordingLevelFormClass([] {
    RegisterComponentClass<TRecordingLevelForm>("TRecordingLevelForm", "TForm");
});

} // namespace

TRecordingLevelForm::TRecordingLevelForm(TComponent* AOwner) : TForm(AOwner)
{
    RegisterField("LabelInputTitle", LabelInputTitle);
    RegisterField("LabelInput", LabelInput);
    RegisterField("LabelVolumeTitle", LabelVolumeTitle);
    RegisterField("LabelVolume", LabelVolume);
    RegisterField("TrackBarVolume", TrackBarVolume);
    RegisterField("LabelMark", LabelMark);
    RegisterField("RadioMeteor", RadioMeteor);
    RegisterField("RadioNOAA", RadioNOAA);
    RegisterField("RadioSICH", RadioSICH);
    RegisterField("ButtonSetLevel", ButtonSetLevel);
    RegisterField("LabelStatus", LabelStatus);
    RegisterField("ButtonClose", ButtonClose);
    RegisterField("TimerPoll", TimerPoll);
    RegisterHandler("FormShow", &TRecordingLevelForm::FormShow);
    RegisterHandler("FormCloseQuery", &TRecordingLevelForm::FormCloseQuery);
    RegisterHandler("TrackBarVolumeChange", &TRecordingLevelForm::TrackBarVolumeChange);
    RegisterHandler("ButtonSetLevelClick", &TRecordingLevelForm::ButtonSetLevelClick);
    RegisterHandler("ButtonCloseClick", &TRecordingLevelForm::ButtonCloseClick);
    RegisterHandler("TimerPollTimer", &TRecordingLevelForm::TimerPollTimer);
    AddFormDescription("RecordingLevelForm");
    LoadFormDescriptions();
    RadioMeteor->SetCaption(MarkCaption(Marks[MeteorMark]));
    RadioNOAA->SetCaption(MarkCaption(Marks[NOAAMark]));
    RadioSICH->SetCaption(MarkCaption(Marks[SICHMark]));
}

TRecordingLevelForm::~TRecordingLevelForm() = default;

void TRecordingLevelForm::SetInput(const std::string& PcmName, const std::string& Caption)
{
    LabelInput->SetCaption(Caption);
    if (PcmName == FPcmName && FMixer)
        return;
    StopSetting("The input changed");
    FPcmName = PcmName;
    FSetter.reset();
    FMixer.reset();
    LabelStatus->SetCaption("");
    if (Visible())
        OpenMixer();
}

void TRecordingLevelForm::OpenMixer()
{
    if (!FMixer)
        FMixer = OpenInputVolume(FPcmName);
    const bool available = FMixer->Available();
    TrackBarVolume->SetEnabled(available);
    ButtonSetLevel->SetEnabled(available);
    if (!available) {
        LabelStatus->SetCaption(FMixer->Reason());
        LabelVolume->SetCaption("");
        return;
    }
    ShowVolume();
}

void TRecordingLevelForm::ShowVolume()
{
    FShowingVolume = true;
    TrackBarVolume->SetParams(static_cast<int>(FMixer->Min()), static_cast<int>(FMixer->Max()),
                              static_cast<int>(FMixer->Volume()));
    FShowingVolume = false;
    LabelVolume->SetCaption(FMixer->Text(FMixer->Volume()));
}

void TRecordingLevelForm::FormShow(TObject*)
{
    OpenMixer();
    TimerPoll->SetEnabled(true);
}

void TRecordingLevelForm::FormCloseQuery(TObject*, bool&)
{
    StopSetting("Cancelled");
    TimerPoll->SetEnabled(false);
}

void TRecordingLevelForm::TrackBarVolumeChange(TObject*)
{
    if (FShowingVolume || !FMixer || !FMixer->Available())
        return;
    FMixer->SetVolume(TrackBarVolume->Position());
    LabelVolume->SetCaption(FMixer->Text(FMixer->Volume()));
}

void TRecordingLevelForm::ButtonSetLevelClick(TObject*)
{
    if (SettingLevel()) {
        StopSetting("Cancelled");
        return;
    }
    if (!FMixer || !FMixer->Available())
        return;
    // Set level needs the meter's levels: a stopped input is started first.
    if (!StartInput || !StartInput()) {
        LabelStatus->SetCaption("The input is stopped, and could not be started: the level cannot be set.");
        return;
    }
    FMixer->Refresh();
    const TMark& mark = Mark();
    FSetter = std::make_unique<TLevelSetter>(*FMixer, mark.LeveldB(), mark.TolerancedB, GetTickCount());
    if (!FSetter->Running()) {
        EndSetting();
        return;
    }
    TrackBarVolume->SetEnabled(false);
    ButtonSetLevel->SetCaption(CancelCaption);
    LabelStatus->SetCaption(FSetter->Progress());
}

void TRecordingLevelForm::ButtonCloseClick(TObject*)
{
    Close();
}

void TRecordingLevelForm::TimerPollTimer(TObject*)
{
    // While Set level runs the volume is its own, and the slider shows each step.
    if (SettingLevel()) {
        FSetter->Tick(GetTickCount());
        if (!FSetter->Running())
            EndSetting();
        else
            LabelStatus->SetCaption(FSetter->Progress());
        return;
    }
    if (FMixer && FMixer->Available() && FMixer->Refresh())
        ShowVolume();
}

void TRecordingLevelForm::BlockShown(float LeftdB, float RightdB)
{
    if (!SettingLevel())
        return;
    FSetter->BlockShown(std::max(LeftdB, RightdB), GetTickCount());
    if (FMixer->Volume() != TrackBarVolume->Position())
        ShowVolume();
    if (!FSetter->Running())
        EndSetting();
}

void TRecordingLevelForm::InputStopped()
{
    StopSetting("The input stopped");
}

bool TRecordingLevelForm::SettingLevel() const
{
    return FSetter && FSetter->Running();
}

const TMark& TRecordingLevelForm::Mark() const
{
    if (RadioMeteor->Checked())
        return Marks[MeteorMark];
    if (RadioSICH->Checked())
        return Marks[SICHMark];
    return Marks[NOAAMark];
}

double TRecordingLevelForm::MarkDb() const
{
    return Mark().LeveldB();
}

void TRecordingLevelForm::StopSetting(const std::string& Why)
{
    if (!SettingLevel())
        return;
    FSetter->Stop(Why);
    EndSetting();
}

void TRecordingLevelForm::EndSetting()
{
    ButtonSetLevel->SetCaption(SetLevelCaption);
    TrackBarVolume->SetEnabled(FMixer && FMixer->Available());
    LabelStatus->SetCaption(FSetter->Message());
    if (FMixer && FMixer->Available())
        ShowVolume();
}
