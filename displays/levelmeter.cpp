#include "displays/levelmeter.h"

#include "platform/kernel/sysutils.h"
#include "platform/kernel/timer.h"
#include "platform/widgets/label.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int DefaultMaxdB = 0;
constexpr int DefaultMindB = -60;
constexpr int DefaultIntervaldB = 10;
constexpr float DesignerLeveldB = -50.0f;     // what a meter shows in a form designer
constexpr TColor DefaultBarColour = 0xC0FFFF; // pale yellow: red 255, green 255, blue 192
constexpr int DefaultDecayRatedBPerSecond = 20;
constexpr int DelayTimerIntervalMs = 125;
constexpr double MillisecondsPerSecond = 1000.0;
constexpr TColor ScaleLineColour = clSilver;

// Bar geometry: a bar starts 3 pixels in from the left frame edge and keeps
// 2 pixels from the middle of the inner area on either side.
constexpr int LeftBarStartX = 3;
constexpr int BarGapFromMiddle = 2;
constexpr int RightBarEndInset = 2; // from FInnerWidth

// Rows far outside any control but well inside int: a level that maps beyond
// them (or is not a number) is drawn as at them, never converted out of range.
constexpr double RowLimit = 1 << 28;

// Scale labels: numbers 2 pixels right of the meter, raised by about half a
// text line so that they centre on their row; "L" and "R" 2 pixels below it,
// at one sixth and four sixths of its width.
constexpr int LabelGap = 2;
constexpr int LabelRaise = 5;
constexpr int ChannelCount = 2;
constexpr int ChannelSixths = 3;   // sixths of the width from one channel label to the next
constexpr int FirstChannelSixth = 1;
constexpr int Sixths = 6;
const char* const ChannelCaptions[ChannelCount] = {"L", "R"};
constexpr TColor ChannelColours[ChannelCount] = {clBlue, clRed};

} // namespace

TLevelMeter::TLevelMeter(TComponent* AOwner) : TFlickerlessBorderedCustomControl(AOwner)
{
    FUpdateCount = 0;
    FMaxdB = DefaultMaxdB;
    FMindB = DefaultMindB;
    FIntervaldB = DefaultIntervaldB;
    // A designer shows some bar; a running program starts at the floor. The
    // flag is the meter's own or, for a meter just inserted, its owner's.
    const bool designing = IsDesigning() || (AOwner && AOwner->IsDesigning());
    FLeftdB = designing ? DesignerLeveldB : static_cast<float>(FMindB);
    FRightdB = FLeftdB;
    FBarColour = DefaultBarColour;
    FDecayRate = DefaultDecayRatedBPerSecond;
    // Disabled before it gets its handler, so that no toolkit timer starts
    // before the first paint needs one.
    FDelayTimer = new TTimer(this);
    FDelayTimer->SetEnabled(false);
    FDelayTimer->SetOnTimer([this](TObject* Sender) { DelayTimerTimer(Sender); });
    FDelayTimer->SetInterval(DelayTimerIntervalMs);
    FLastTick = GetTickCount();
    FShownLeftdB = static_cast<float>(FMindB);
    FShownRightdB = static_cast<float>(FMindB);
}

TLevelMeter::~TLevelMeter()
{
    FDelayTimer->SetOnTimer(nullptr);
    delete FDelayTimer;
    FDelayTimer = nullptr;
}

void TLevelMeter::SetLeftdB(float Value)
{
    FLeftdB = Value;
    Invalidate();
}

void TLevelMeter::SetRightdB(float Value)
{
    FRightdB = Value;
    Invalidate();
}

void TLevelMeter::SetMaxdB(int Value)
{
    FMaxdB = Value;
    Invalidate();
}

void TLevelMeter::SetMindB(int Value)
{
    FMindB = Value;
    Invalidate();
}

void TLevelMeter::SetIntervaldB(int Value)
{
    FIntervaldB = Value;
    Invalidate();
}

void TLevelMeter::SetBarColour(TColor Value)
{
    FBarColour = Value;
    Invalidate();
}

void TLevelMeter::BeginUpdate()
{
    ++FUpdateCount;
}

void TLevelMeter::EndUpdate()
{
    --FUpdateCount;
}

int TLevelMeter::dBToY(float Value) const
{
    double row = (static_cast<double>(Value) - FMaxdB) * FInnerHeight / (static_cast<double>(FMindB) - FMaxdB);
    if (std::isnan(row))
        row = RowLimit; // drawn as far below the scale: no bar
    row = std::clamp(row, -RowLimit, RowLimit);
    // Ties go to the even row under the default rounding mode.
    return static_cast<int>(std::nearbyint(row)) + 1;
}

void TLevelMeter::DelayTimerTimer(TObject*)
{
    FDelayTimer->SetEnabled(false);
    Invalidate();
}

void TLevelMeter::DrawContent(TCanvas& ACanvas)
{
    // Between BeginUpdate and EndUpdate: no decay step, the timer as it is.
    if (FUpdateCount > 0)
        return;
    FDelayTimer->SetEnabled(false);
    Decay();
    DrawBars(ACanvas);
    DrawScaleLines(ACanvas);
    // Keeps repainting while a bar can still fall; a fresh 125 ms period.
    if (FShownLeftdB >= FMindB || FShownRightdB >= FMindB)
        FDelayTimer->SetEnabled(true);
}

void TLevelMeter::Decay()
{
    const uint32_t now = GetTickCount();
    const uint32_t elapsedMs = now - FLastTick; // survives the counter's wrap-around
    // Worked in 64 bits: a meter left unpainted for days must not see the
    // product wrap into a negative step that pushes the bars up.
    const int64_t millidecibels = static_cast<int64_t>(elapsedMs) * FDecayRate;
    const float step = static_cast<float>(static_cast<double>(millidecibels) / MillisecondsPerSecond);
    FShownLeftdB = FShownLeftdB - step;
    FShownRightdB = FShownRightdB - step;
    // A higher level shows at once.
    if (FLeftdB > FShownLeftdB)
        FShownLeftdB = FLeftdB;
    if (FRightdB > FShownRightdB)
        FShownRightdB = FRightdB;
    FLastTick = now;
}

void TLevelMeter::DrawBars(TCanvas& ACanvas)
{
    // A top row above the bitmap is cut at its edge (and the frame covers row
    // 0); a top row at or below the bottom gives an empty rectangle.
    const int half = (FInnerWidth + 1) / 2;
    const int bottom = Height() - 1;
    ACanvas.Brush().Color = FBarColour;
    ACanvas.FillRect(Rect(LeftBarStartX, dBToY(FShownLeftdB), half - BarGapFromMiddle, bottom));
    ACanvas.FillRect(Rect(half + BarGapFromMiddle, dBToY(FShownRightdB), FInnerWidth - RightBarEndInset, bottom));
}

void TLevelMeter::DrawScaleLines(TCanvas& ACanvas)
{
    // Without a positive interval there is no scale to draw (and no division by it).
    if (FIntervaldB <= 0)
        return;
    const int interval = FIntervaldB;
    // Truncating division: with MindB not a multiple of the interval the
    // first line comes one step later.
    int level = ((FMindB - interval) / interval) * interval + interval;
    ACanvas.Pen().Color = ScaleLineColour;
    while (level + interval < FMaxdB) {
        level += interval;
        const int row = dBToY(static_cast<float>(level));
        ACanvas.MoveTo(1, row);
        ACanvas.LineTo(Width() - 1, row);
    }
}

void TLevelMeter::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    TFlickerlessBorderedCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FLabelsCreated)
        MoveLabels();
}

std::string TLevelMeter::ScaleLabelName(int Level) const
{
    // Only the magnitude of the step number: +10 and -10 share a name.
    return Name() + "_" + IntToStr(std::abs(Level / FIntervaldB));
}

std::string TLevelMeter::ChannelLabelName(int Channel) const
{
    return Name() + "_" + ChannelCaptions[Channel];
}

int TLevelMeter::ScaleLabelLeft() const
{
    return Left() + Width() + LabelGap;
}

int TLevelMeter::ScaleLabelTop(int Level) const
{
    return Top() + dBToY(static_cast<float>(Level)) - LabelRaise;
}

int TLevelMeter::ChannelLabelLeft(int Channel) const
{
    return Left() + ((ChannelSixths * Channel + FirstChannelSixth) * Width()) / Sixths;
}

int TLevelMeter::ChannelLabelTop() const
{
    return Top() + Height() + LabelGap;
}

void TLevelMeter::CreateLabels()
{
    // Labels live on the parent; without one there is nowhere to put them yet.
    if (FLabelsCreated || !Parent())
        return;
    TWinControl* parent = Parent();
    auto addLabel = [parent](const std::string& LabelName, const std::string& LabelCaption, int X, int Y) {
        auto* label = new TLabel(parent);
        try {
            label->SetName(LabelName);
        } catch (...) {
            delete label; // a refused name leaves no stray label behind
            throw;
        }
        label->SetParent(parent);
        label->SetCaption(LabelCaption);
        label->SetLeft(X);
        label->SetTop(Y);
        return label;
    };
    if (FIntervaldB > 0)
        for (int level = FMaxdB; level >= FMindB; --level)
            if (level % FIntervaldB == 0)
                addLabel(ScaleLabelName(level), IntToStr(level), ScaleLabelLeft(), ScaleLabelTop(level));
    for (int channel = 0; channel < ChannelCount; ++channel) {
        TLabel* label = addLabel(ChannelLabelName(channel), ChannelCaptions[channel], ChannelLabelLeft(channel),
                                 ChannelLabelTop());
        TFont font = label->Font();
        font.Color = ChannelColours[channel];
        label->SetFont(font);
    }
    FLabelsCreated = true;
}

void TLevelMeter::MoveLabels()
{
    TWinControl* parent = Parent();
    if (!parent)
        return;
    if (FIntervaldB > 0)
        for (int level = FMaxdB; level >= FMindB; --level) {
            if (level % FIntervaldB != 0)
                continue;
            if (auto* label = dynamic_cast<TControl*>(parent->FindComponent(ScaleLabelName(level)))) {
                label->SetLeft(ScaleLabelLeft());
                label->SetTop(ScaleLabelTop(level));
            }
        }
    for (int channel = 0; channel < ChannelCount; ++channel)
        if (auto* label = dynamic_cast<TControl*>(parent->FindComponent(ChannelLabelName(channel)))) {
            label->SetTop(ChannelLabelTop());
            label->SetLeft(ChannelLabelLeft(channel));
        }
}
