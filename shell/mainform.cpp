#include "shell/mainform.h"

#include "analysis/audioanalyser.h"
#include "analysis/marks.h"
#include "displays/led.h"
#include "displays/levelmeter.h"
#include "platform/dialogs/opendialog.h"
#include "platform/forms/application.h"
#include "platform/kernel/sysutils.h"
#include "platform/kernel/timer.h"
#include "platform/widgets/button.h"
#include "platform/widgets/checkbox.h"
#include "platform/widgets/label.h"
#include "platform/widgets/mainmenu.h"
#include "platform/widgets/menuitem.h"
#include "platform/widgets/progressbar.h"
#include "platform/widgets/shape.h"
#include "shell/filelevelsform.h"
#include "shell/filerunfigures.h"
#include "shell/inputcommands.h"
#include "versinfo/formhelpabout.h"
#include "versinfo/versinforesource.h"

#include <cmath>
#include <cstdlib>

TForm1* Form1 = nullptr;

namespace {

// Colours of the input LED: bright while the wave input is open.
constexpr TColor kLedOpen = 0x00FF00;
constexpr TColor kLedClosed = clGreen;

// Pause after each block of a file run, so the meter's movement is visible.
constexpr uint32_t kFileBlockPauseMs = 20;

// Bytes in one stereo frame of two 16-bit samples.
constexpr uint32_t kBytesPerFrame = 4;
constexpr int kPercent = 100;

// Thrown from OnData to end a file run after the block in hand; RunFile catches it.
struct TFileRunEnded {};

// Why a chosen file was not measured, worded like the analyser's own message
// for a file that is not 16-bit PCM; nullptr when there is nothing to tell here.
const char* NotMeasuredText(TWaveFileCheck Check)
{
    switch (Check) {
    case wcCannotOpen: return "File cannot be opened for reading";
    case wcNotRiffWave: return "File is not a RIFF WAVE file";
    case wcNoFormat: return "File has no \"fmt \" chunk, so its format is unknown";
    case wcFormatCutShort: return "File ends inside its \"fmt \" chunk";
    case wcNoData: return "File has no \"data\" chunk after its \"fmt \" chunk";
    case wcDataCutShort: return "File is cut short: it holds less sound data than its header declares";
    case wcTooLarge: return "File is too large: its sound data cannot be held in memory";
    case wcNotPcm16: // told by the analyser
    case wcAccepted: break;
    }
    return nullptr;
}

} // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner), FFileFigures(std::make_unique<TFileRunFigures>())
{
    RegisterComponents();
    RegisterHandlers();
    AddFormDescription("Form1");
    LoadFormDescriptions();
}

TForm1::~TForm1() = default;

void TForm1::RegisterComponents()
{
    RegisterField("LevelMeter", LevelMeter);
    RegisterField("AudioAnalyser", AudioAnalyser);
    RegisterField("ButtonRun", ButtonRun);
    RegisterField("ButtonClose", ButtonClose);
    RegisterField("LED1", LED1);
    RegisterField("Timer", Timer);
    RegisterField("ShapeMeteor", ShapeMeteor);
    RegisterField("ShapeNOAA", ShapeNOAA);
    RegisterField("ShapeSICH", ShapeSICH);
    RegisterField("LabelMeteor", LabelMeteor);
    RegisterField("LabelNOAA", LabelNOAA);
    RegisterField("LabelSICH", LabelSICH);
    RegisterField("MainMenu1", MainMenu1);
    RegisterField("MenuHelp", MenuHelp);
    RegisterField("HelpAbout", HelpAbout);
    RegisterField("MenuFile", MenuFile);
    RegisterField("FileExit", FileExit);
    RegisterField("LabelIntro", LabelIntro);
    RegisterField("CheckBoxPeak", CheckBoxPeak);
    RegisterField("N1", N1);
    RegisterField("FileOpen", FileOpen);
    RegisterField("OpenDialog", OpenDialog);
    RegisterField("ProgressBar", ProgressBar);
    RegisterField("VI", VI);
    RegisterField("FileCancel", FileCancel);
    RegisterField("MenuInput", MenuInput);
    RegisterField("N2", N2);
    RegisterField("InputLevel", InputLevel);
}

void TForm1::RegisterHandlers()
{
    RegisterHandler("FormCreate", &TForm1::FormCreate);
    RegisterHandler("FormShow", &TForm1::FormShow);
    RegisterHandler("FormPaint", &TForm1::FormPaint);
    RegisterHandler("FormCloseQuery", &TForm1::FormCloseQuery);
    RegisterHandler("TimerTimer", &TForm1::TimerTimer);
    RegisterHandler("ButtonRunClick", &TForm1::ButtonRunClick);
    RegisterHandler("ButtonCloseClick", &TForm1::ButtonCloseClick);
    RegisterHandler("CheckBoxPeakClick", &TForm1::CheckBoxPeakClick);
    RegisterHandler("FileOpenClick", &TForm1::FileOpenClick);
    RegisterHandler("FileCancelClick", &TForm1::FileCancelClick);
    RegisterHandler("FileExitClick", &TForm1::FileExitClick);
    RegisterHandler("HelpAboutClick", &TForm1::HelpAboutClick);
    RegisterHandler("InputLevelClick", &TForm1::InputLevelClick);
    RegisterHandler("AudioAnalyserOpen", &TForm1::AudioAnalyserOpen);
    RegisterHandler("AudioAnalyserClose", &TForm1::AudioAnalyserClose);
    RegisterHandler("AudioAnalyserLost", &TForm1::AudioAnalyserLost);
    RegisterHandler("AudioAnalyserData", &TForm1::AudioAnalyserData);
}

void TForm1::FormCreate(TObject*)
{
    AudioAnalyser->SetPeakLevel(CheckBoxPeak->Checked());
    // The first argument only pre-fills the Open dialog; nothing is opened.
    if (Application.ParamCount() >= 1)
        OpenDialog->SetFileName(Application.ParamStr(1));
    AudioAnalyser->SetIgnoreFileSampleRate(true);
    SetCaption("Quimbrel - V" + VI->FileVersionNumber().AsString() + " - Tamsvik");
    FInput = std::make_unique<TInputCommands>(*this);
}

void TForm1::FormShow(TObject*)
{
    PlaceMarks();
    CreateScaleLabels();
    Timer->SetEnabled(true);
}

void TForm1::PlaceMarks()
{
    // A level d decibels below the top sits at the same share of the meter's
    // height as d is of its range; halves round to the even row.
    const auto markTop = [this](double dB) {
        const double rows = LevelMeter->Height() * dB / std::abs(LevelMeter->MindB());
        return LevelMeter->Top() + static_cast<int>(std::nearbyint(rows));
    };
    ShapeMeteor->SetTop(markTop(Marks[MeteorMark].BelowFullScaledB));
    ShapeNOAA->SetTop(markTop(Marks[NOAAMark].BelowFullScaledB));
    ShapeSICH->SetTop(markTop(Marks[SICHMark].BelowFullScaledB));
}

void TForm1::CreateScaleLabels()
{
    const int half = Canvas().TextHeight("Cy") / 2;
    const int width = Canvas().TextWidth("-00dB  ");
    const int interval = LevelMeter->IntervaldB();
    const int first = LevelMeter->MaxdB() / interval;
    const int last = -LevelMeter->MindB() / interval;
    for (int e = first; e <= last; ++e) {
        auto* label = new TLabel(this);
        label->SetParent(this);
        label->SetTop(LevelMeter->Height() * e * interval / -LevelMeter->MindB() + LevelMeter->Top() - half);
        label->SetAutoSize(true);
        label->SetAlignment(TAlignment::taRightJustify);
        label->SetCaption(IntToStr(-interval * e) + "dB  ");
        label->SetLeft(LevelMeter->Left() - width);
    }
}

void TForm1::FormPaint(TObject*)
{
    const int half = Canvas().TextHeight("Cy") / 2;
    DrawMarkLine(*ShapeMeteor, *LabelMeteor, half);
    DrawMarkLine(*ShapeNOAA, *LabelNOAA, half);
    DrawMarkLine(*ShapeSICH, *LabelSICH, half);
}

void TForm1::DrawMarkLine(const TShape& Mark, const TLabel& Name, int HalfTextHeight)
{
    Canvas().MoveTo(Mark.Left() + Mark.Width(), Mark.Top());
    Canvas().LineTo(Name.Left(), Name.Top() + HalfTextHeight);
}

void TForm1::TimerTimer(TObject*)
{
    Timer->SetEnabled(false);
    ButtonRun->Click();
}

void TForm1::ButtonRunClick(TObject*)
{
    // The caption changes only once the setter has returned: a failed open
    // leaves "&Start".
    if (AudioAnalyser->Enabled()) {
        AudioAnalyser->SetEnabled(false);
        ButtonRun->SetCaption("&Start");
    } else {
        AudioAnalyser->SetEnabled(true);
        ButtonRun->SetCaption("&Stop");
    }
}

void TForm1::CheckBoxPeakClick(TObject*)
{
    AudioAnalyser->SetPeakLevel(CheckBoxPeak->Checked());
}

void TForm1::AudioAnalyserOpen(TObject*)
{
    LED1->SetColour(kLedOpen);
}

void TForm1::AudioAnalyserClose(TObject*)
{
    LED1->SetColour(kLedClosed);
    if (FInput)
        FInput->InputClosed();
}

void TForm1::AudioAnalyserLost(TObject*)
{
    // The input closed by itself (OnClose has darkened the LED): the window is
    // stopped, and the next press starts it.
    ButtonRun->SetCaption("&Start");
}

void TForm1::AudioAnalyserData(wavehdr_tag& Header)
{
    // The block already has the current offsets taken off, so its mean is the
    // remaining error; the estimator integrates it.
    const uint32_t frames = Header.dwBytesRecorded / kBytesPerFrame;
    if (FFileRunning)
        FFileFigures->AddBlock(BlockSamples(Header).data(), frames, AudioAnalyser->LeftOffset(),
                               AudioAnalyser->RightOffset(), AudioAnalyser->FileFormat().SampleRate);
    FOffsets.AddBlock(BlockSamples(Header).data(), frames);
    AudioAnalyser->SetLeftOffset(FOffsets.LeftOffsetEstimate());
    AudioAnalyser->SetRightOffset(FOffsets.RightOffsetEstimate());
    if (!FFileRunning) {
        FInput->BlockShown(LevelMeter->LeftdB(), LevelMeter->RightdB());
        return;
    }
    ProgressBar->SetPosition(AudioAnalyser->BufferNumber() * kPercent / AudioAnalyser->BufferCount());
    ProgressBar->Update();
    Application.ProcessMessages();
    // Cancel, Escape or closing the window ends the run after this block.
    if (FFileRunEnding)
        throw TFileRunEnded{};
    Sleep(kFileBlockPauseMs);
}

void TForm1::FileOpenClick(TObject*)
{
    // A file run handles pending events after every block, so this command
    // stays reachable during a run; a second run inside the first is refused.
    if (FFileRunning)
        return;
    if (AudioAnalyser->Enabled())
        ButtonRun->Click();
    ButtonRun->SetEnabled(false);
    bool ranToEnd = false;
    try {
        if (OpenDialog->Execute())
            ranToEnd = RunFile(OpenDialog->FileName());
    } catch (...) {
        ButtonRun->SetEnabled(true);
        throw;
    }
    ButtonRun->SetEnabled(true);
    if (ranToEnd)
        TellFileRun(OpenDialog->FileName());
}

bool TForm1::RunFile(const std::string& FileName)
{
    ProgressBar->SetVisible(true);
    FFileRunning = true;
    FFileRunEnding = false;
    FileOpen->SetEnabled(false);
    FileCancel->SetEnabled(true);
    // The last run's levels are not this one's.
    if (FFileLevels)
        FFileLevels->Hide();
    FFileFigures->Begin(FileName);
    try {
        AudioAnalyser->ProcessFile(FileName);
    } catch (const TFileRunEnded&) {
        EndFileRun();
        return false;
    } catch (...) {
        EndFileRun();
        throw;
    }
    // The window may have closed while a refusal was being told.
    const bool ranToEnd = !FFileRunEnding;
    EndFileRun();
    return ranToEnd;
}

void TForm1::EndFileRun()
{
    FFileRunning = false;
    FFileRunEnding = false;
    ProgressBar->SetVisible(false);
    FileOpen->SetEnabled(true);
    FileCancel->SetEnabled(false);
}

void TForm1::TellFileRun(const std::string& FileName)
{
    if (const char* text = NotMeasuredText(AudioAnalyser->FileCheck())) {
        Application.MessageBox(text, FileName, MB_OK);
        return;
    }
    if (AudioAnalyser->FileCheck() != wcAccepted || AudioAnalyser->BufferCount() == 0)
        return;
    FFileFigures->End(AudioAnalyser->FileFormat(), AudioAnalyser->FileFrames(), AudioAnalyser->PeakLevel());
    if (!FFileLevels)
        FFileLevels = new TFileLevelsForm(this);
    FFileLevels->ShowFigures(FileName, FFileFigures->Info(), FFileFigures->Summary());
}

void TForm1::FileCancelClick(TObject*)
{
    if (FFileRunning)
        FFileRunEnding = true;
}

void TForm1::FormCloseQuery(TObject*, bool&)
{
    AudioAnalyser->SetEnabled(false);
    // The program ends once the run has ended after the block in hand.
    if (FFileRunning)
        FFileRunEnding = true;
}

void TForm1::ButtonCloseClick(TObject*)
{
    Close();
}

void TForm1::FileExitClick(TObject*)
{
    Close();
}

void TForm1::HelpAboutClick(TObject*)
{
    // The same box every time; it refreshes itself as it is shown.
    if (HelpAboutBox)
        HelpAboutBox->ShowModal();
}

void TForm1::InputLevelClick(TObject*)
{
    FInput->ShowLevelForm();
}
