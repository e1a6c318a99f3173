#include "analysis/audioanalyser.h"

#include "analysis/offsetremoval.h"
#include "analysis/peakmeasure.h"
#include "analysis/powersmoother.h"
#include "analysis/rmsmeasure.h"
#include "audio/powertodb.h"
#include "displays/audiodisplay.h"
#include "displays/levelmeter.h"

namespace {

// Ends the meter's paint suppression however the writes between end.
class TMeterUpdate {
public:
    explicit TMeterUpdate(TLevelMeter& Meter) : FMeter(Meter) { FMeter.BeginUpdate(); }
    ~TMeterUpdate() { FMeter.EndUpdate(); }
    TMeterUpdate(const TMeterUpdate&) = delete;
    TMeterUpdate& operator=(const TMeterUpdate&) = delete;

private:
    TLevelMeter& FMeter;
};

} // namespace

TBasicAudioAnalyser::TBasicAudioAnalyser(TComponent* AOwner) : TWaveIn(AOwner)
{
    FLeftOffset = 0;
    FRightOffset = 0;
    FDisplay = nullptr;
    FLastLeftPower = InitialLastPower;
    FLastRightPower = InitialLastPower;
    FPeakLevel = false;
}

void TBasicAudioAnalyser::SetEnabled(bool Value)
{
    if (FDisplay)
        FDisplay->ClearBlockCount();
    TWaveIn::SetEnabled(Value);
}

void TBasicAudioAnalyser::SetLevelMeter(TLevelMeter* Value)
{
    if (FLevelMeter)
        RemoveFreeNotification(FLevelMeter);
    FLevelMeter = Value;
    if (FLevelMeter)
        FreeNotification(FLevelMeter);
}

void TBasicAudioAnalyser::SetDisplay(TAudioDisplay* Value)
{
    const bool wasEnabled = Enabled();
    SetEnabled(false);
    if (FDisplay)
        RemoveFreeNotification(FDisplay);
    FDisplay = Value;
    if (FDisplay) {
        FreeNotification(FDisplay);
        FDisplay->SetSource(this);
    }
    SetEnabled(wasEnabled);
}

void TBasicAudioAnalyser::Notification(TComponent* AComponent, TOperation Operation)
{
    TWaveIn::Notification(AComponent, Operation);
    if (Operation != TOperation::opRemove)
        return;
    if (AComponent == FLevelMeter)
        FLevelMeter = nullptr;
    if (AComponent == FDisplay)
        FDisplay = nullptr;
}

void TBasicAudioAnalyser::HandleClose()
{
    if (FLevelMeter) {
        const auto floordB = static_cast<float>(FLevelMeter->MindB());
        FLevelMeter->SetLeftdB(floordB);
        FLevelMeter->SetRightdB(floordB);
    }
    TWaveIn::HandleClose();
}

void TBasicAudioAnalyser::HandleData()
{
    if (FState != wsRunning)
        return;
    // Held here: a handler that lets messages through may handle another
    // block and move FCurrentHeader on.
    wavehdr_tag* const header = FCurrentHeader;
    const uint32_t frames = header->dwBytesRecorded / FWaveFormat.nBlockAlign;
    bool continueInput = true;
    // A block of any other length is not measured, passed on or counted.
    if (frames == static_cast<uint32_t>(FBufferSamples))
        HandleFullBlock(*header, frames, continueInput);
    if (continueInput)
        Requeue(header);
    else
        SetEnabled(false); // closes the device; the header stays out of the ring
}

void TBasicAudioAnalyser::HandleFullBlock(const wavehdr_tag& Header, uint32_t FrameCount, bool& Continue)
{
    // Taken before OnData: changes a handler makes to its copy of the header
    // are lost, for the display too.
    const std::span<int16_t> samples = BlockSamples(Header).first(FrameCount * SamplesPerFrame);
    RemoveOffsets(samples.data(), FrameCount, FLeftOffset, FRightOffset);
    if (FLevelMeter)
        ShowLevels(samples);
    wavehdr_tag copy = Header;
    if (FOnData)
        FOnData(copy);
    if (FDisplay)
        FDisplay->ProcessBlock(samples.data(), static_cast<int32_t>(FrameCount), Continue);
    ++FBufferNumber;
}

void TBasicAudioAnalyser::ShowLevels(std::span<const int16_t> Samples)
{
    const size_t frames = Samples.size() / SamplesPerFrame;
    const TStereoPower power =
        FPeakLevel ? MeasurePeakPower(Samples.data(), frames) : MeasureRmsPower(Samples.data(), frames);
    // The first block after an open, or of a file, shows its own level.
    const bool firstBlock = FBufferNumber == 0;
    FLeftPower = SmoothPower(FLastLeftPower, power.Left, firstBlock);
    FRightPower = SmoothPower(FLastRightPower, power.Right, firstBlock);
    WriteMeter(PowerTodB(FLeftPower), PowerTodB(FRightPower));
    FLastLeftPower = FLeftPower;
    FLastRightPower = FRightPower;
}

void TBasicAudioAnalyser::WriteMeter(float LeftdB, float RightdB)
{
    // Both levels arrive before the meter draws again.
    TMeterUpdate update(*FLevelMeter);
    FLevelMeter->SetLeftdB(LeftdB);
    FLevelMeter->SetRightdB(RightdB);
}
