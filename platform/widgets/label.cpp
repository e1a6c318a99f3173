#include "platform/widgets/label.h"

#include "platform/graphics/textlines.h"
#include "platform/graphics/textrenderer.h"

#include <algorithm>

namespace {

// Size of a label before anything sizes it, in pixels.
constexpr int kDefaultLabelWidth = 65;
constexpr int kDefaultLabelHeight = 17;

} // namespace

TLabel::TLabel(TComponent* AOwner) : TControl(AOwner)
{
    TControl::SetBounds(0, 0, kDefaultLabelWidth, kDefaultLabelHeight);
}

void TLabel::SetAutoSize(bool Value)
{
    if (Value == FAutoSize)
        return;
    FAutoSize = Value;
    AdjustBounds();
}

void TLabel::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    ShowLines();
}

void TLabel::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    AdjustBounds();
    ShowLines();
}

int TLabel::MeasureText(const std::string& Text) const
{
    return TextRenderer().TextWidth(Font(), Text);
}

int TLabel::LineHeight() const
{
    return TextRenderer().TextHeight(Font(), "Cy");
}

std::vector<std::string> TLabel::Lines() const
{
    const std::string shown = StripAccelChars(Caption());
    if (!FWordWrap)
        return SplitLines(shown);
    return WrapText(shown, Width(), [this](const std::string& t) { return MeasureText(t); });
}

void TLabel::AdjustBounds()
{
    if (!FAutoSize || IsLoading())
        return;
    std::vector<std::string> lines = Lines();
    // An empty caption still takes the height of one line. (Assigned by
    // count: GCC 12 warns falsely of an overlap for a one-character literal.)
    if (lines.size() == 1 && lines.front().empty())
        lines.front().assign(1, ' ');
    // A wrapped label keeps its width (unless a single word is wider), so
    // that later captions wrap at the same place.
    int width = FWordWrap ? Width() : 0;
    for (const std::string& line : lines)
        width = std::max(width, MeasureText(line));
    const int height = LineHeight() * static_cast<int>(lines.size());
    int left = Left();
    if (FAlignment == TAlignment::taRightJustify)
        left += Width() - width; // the right edge stays where it was
    SetBounds(left, Top(), width, height);
}

void TLabel::ShowLines()
{
    if (!HandleAllocated())
        return;
    const std::vector<std::string> lines = Lines();
    const int lineHeight = LineHeight();
    WithPeer([&](TControlPeer& p) {
        if (auto* peer = dynamic_cast<TLabelPeer*>(&p))
            peer->SetLines(lines, FAlignment, lineHeight);
    });
}

void TLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const bool rewrap = FWordWrap && AWidth != Width();
    TControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (rewrap)
        ShowLines();
}

void TLabel::SetFont(const TFont& Value)
{
    TControl::SetFont(Value);
    AdjustBounds();
    ShowLines();
}

void TLabel::ParentChanged()
{
    TControl::ParentChanged();
    if (ParentFont()) {
        AdjustBounds();
        ShowLines();
    }
}

void TLabel::TextChanged()
{
    AdjustBounds();
    ShowLines();
}

void TLabel::Loaded()
{
    TControl::Loaded();
    AdjustBounds();
    ShowLines();
}

std::unique_ptr<TControlPeer> TLabel::CreatePeer()
{
    return CreateLabelPeer(this);
}

void TLabel::InitializePeer(TControlPeer& APeer)
{
    TControl::InitializePeer(APeer);
    if (auto* peer = dynamic_cast<TLabelPeer*>(&APeer))
        peer->SetLines(Lines(), FAlignment, LineHeight());
}
