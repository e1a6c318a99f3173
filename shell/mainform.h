#pragma once
// The main window: the two-bar meter with its scale labels and the three
// reference marks, Start/Stop and Close, the Peak check box, the input LED, a
// progress bar for file runs, and the File and Help menus. It wires the
// analyser to the meter and the LED, keeps the running DC-offset estimate of
// each channel, and paces and reports progress while a WAV file is measured.
// A file run ends early, after the block in hand, with File, Cancel (or
// Escape) and when the window closes; a file that is not measured is told
// with its reason; a run to the end shows the file's levels beside the window.

#include "analysis/offsetestimator.h"
#include "audio/wavecommon.h"
#include "platform/forms/form.h"

class TLevelMeter;
class TBasicAudioAnalyser;
class TButton;
class TLED;
class TTimer;
class TShape;
class TLabel;
class TMainMenu;
class TMenuItem;
class TCheckBox;
class TOpenDialog;
class TProgressBar;
class TVersionInfoResource;
class TFileLevelsForm;
class TFileRunFigures;
class TInputCommands;

class TForm1 : public TForm {
public:
    explicit TForm1(TComponent* AOwner);
    ~TForm1() override;

    // Components made by the form description, owned by the window.
    TLevelMeter* LevelMeter = nullptr;
    TBasicAudioAnalyser* AudioAnalyser = nullptr;
    TButton* ButtonRun = nullptr;
    TButton* ButtonClose = nullptr;
    TLED* LED1 = nullptr;
    TTimer* Timer = nullptr;
    TShape* ShapeMeteor = nullptr;
    TShape* ShapeNOAA = nullptr;
    TShape* ShapeSICH = nullptr;
    TLabel* LabelMeteor = nullptr;
    TLabel* LabelNOAA = nullptr;
    TLabel* LabelSICH = nullptr;
    TMainMenu* MainMenu1 = nullptr;
    TMenuItem* MenuHelp = nullptr;
    TMenuItem* HelpAbout = nullptr;
    TMenuItem* MenuFile = nullptr;
    TMenuItem* FileExit = nullptr;
    TLabel* LabelIntro = nullptr;
    TCheckBox* CheckBoxPeak = nullptr;
    TMenuItem* N1 = nullptr;
    TMenuItem* FileOpen = nullptr;
    TOpenDialog* OpenDialog = nullptr;
    TProgressBar* ProgressBar = nullptr;
    TVersionInfoResource* VI = nullptr;
    TMenuItem* FileCancel = nullptr;
    // The Input menu: the devices (added by Input()), a separator and Recording level.
    TMenuItem* MenuInput = nullptr;
    TMenuItem* N2 = nullptr;
    TMenuItem* InputLevel = nullptr;

    // The Input menu's commands and the Recording level dialog.
    TInputCommands& Input() { return *FInput; }

    // The running offset estimates, in sample units, and the frames seen.
    int32_t LeftOffsetEstimate() const { return FOffsets.LeftOffsetEstimate(); }
    int32_t RightOffsetEstimate() const { return FOffsets.RightOffsetEstimate(); }
    int32_t FramesSeen() const { return FOffsets.FramesSeen(); }
    bool FileRunning() const { return FFileRunning; }
    // The window of the last file run's levels; nullptr until a run has shown one.
    TFileLevelsForm* FileLevels() const { return FFileLevels; }

    // Event handlers, bound by name from the form description.
    void FormCreate(TObject* Sender);
    void FormShow(TObject* Sender);
    void FormPaint(TObject* Sender);
    void TimerTimer(TObject* Sender);
    void ButtonRunClick(TObject* Sender);
    void CheckBoxPeakClick(TObject* Sender);
    void AudioAnalyserOpen(TObject* Sender);
    void AudioAnalyserClose(TObject* Sender);
    void AudioAnalyserLost(TObject* Sender);
    void AudioAnalyserData(wavehdr_tag& Header);
    void FileOpenClick(TObject* Sender);
    void FileCancelClick(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void ButtonCloseClick(TObject* Sender);
    void FileExitClick(TObject* Sender);
    void HelpAboutClick(TObject* Sender);
    void InputLevelClick(TObject* Sender);

private:
    void RegisterComponents();
    void RegisterHandlers();
    void PlaceMarks();
    void CreateScaleLabels();
    void DrawMarkLine(const TShape& Mark, const TLabel& Name, int HalfTextHeight);
    // Feeds the file; false when the run was ended before its end.
    bool RunFile(const std::string& FileName);
    void EndFileRun();
    // After a run to its end: why nothing was measured, or the file's levels.
    void TellFileRun(const std::string& FileName);

    // Running DC-offset estimate of each channel and the frames it has seen,
    // live and file blocks together; carried over between runs.
    TOffsetEstimator FOffsets;
    // True only while FileOpenClick feeds a file through the analyser.
    bool FFileRunning = false;
    // The run is to end after the block in hand (Cancel, or the window closing).
    bool FFileRunEnding = false;
    // Owned by the window; made for the first run that has levels to show.
    TFileLevelsForm* FFileLevels = nullptr;
    // The levels of the file being run, measured as its blocks pass.
    std::unique_ptr<TFileRunFigures> FFileFigures;
    // Made by FormCreate.
    std::unique_ptr<TInputCommands> FInput;
};

extern TForm1* Form1;
