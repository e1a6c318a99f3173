#include "displays/audiodisplay.h"

namespace {

constexpr TColor DefaultForegroundColour = 0xC0FFFF; // red 255, green 255, blue 192
constexpr int32_t DefaultUpperValue = 0;
constexpr int32_t DefaultLowerValue = -80;
constexpr int MinBufferColumns = 1; // a narrower inner area keeps the buffers it has

} // namespace

TAudioDisplay::TAudioDisplay(TComponent* AOwner) : TFlickerlessBorderedCustomControl(AOwner)
{
    FSource = nullptr;
    FForegroundColour = DefaultForegroundColour;
    FUpperValue = DefaultUpperValue;
    FLowerValue = DefaultLowerValue;
    FMode = true;
    FBlockCount = 0;
    FPosition = 0;
}

TAudioDisplay::~TAudioDisplay()
{
    FSource = nullptr;
    ReleaseBuffers();
}

void TAudioDisplay::SetMode(bool Value)
{
    if (Value == FMode)
        return;
    FMode = Value;
    FBlockCount = 0;
}

void TAudioDisplay::SetSource(TWaveIn* Value)
{
    FSource = Value;
    FBlockCount = 0;
    FPosition = 0;
}

void TAudioDisplay::SetUpperValue(int32_t Value)
{
    FUpperValue = Value;
}

void TAudioDisplay::SetLowerValue(int32_t Value)
{
    FLowerValue = Value;
}

void TAudioDisplay::ProcessBlock(int16_t*, int32_t, bool&) {}

void TAudioDisplay::AudioDisplayHook() {}

void TAudioDisplay::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const int oldWidth = Width();
    TFlickerlessBorderedCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (Width() == oldWidth || FInnerWidth < MinBufferColumns)
        return;
    FPosition = 0;
    AllocateBuffers(FInnerWidth);
}

void TAudioDisplay::AllocateBuffers(int Columns)
{
    ReleaseBuffers();
    const auto columns = static_cast<size_t>(Columns);
    // Subclasses fill them before use: their content is left as it comes.
    for (auto& buffer : FColumnBuffers8)
        buffer = std::make_unique_for_overwrite<int64_t[]>(columns);
    for (auto& buffer : FColumnBuffers4)
        buffer = std::make_unique_for_overwrite<int32_t[]>(columns);
    FBufferColumns = columns;
}

void TAudioDisplay::ReleaseBuffers()
{
    for (auto& buffer : FColumnBuffers8)
        buffer.reset();
    for (auto& buffer : FColumnBuffers4)
        buffer.reset();
    FBufferColumns = 0;
}
