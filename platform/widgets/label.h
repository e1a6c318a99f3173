#pragma once
// A caption on its parent: one line, or several when word-wrapped. With
// AutoSize the label takes the size of its text whenever the caption, the font
// or the wrapping changes (a word-wrapped label keeps its width and takes the
// height of its lines); a right-aligned label keeps its right edge, so longer
// text grows to the left. The label has no background of its own:
// the parent's colour shows around the text.

#include "platform/widgets/control.h"

#include <string>
#include <vector>

class TLabel;

// What a label needs from its toolkit widget.
class TLabelPeer {
public:
    virtual ~TLabelPeer() = default;
    // Shows Lines from the top, LineHeight pixels apart, each placed by Alignment.
    virtual void SetLines(const std::vector<std::string>& Lines, TAlignment Alignment, int LineHeight) = 0;
};

std::unique_ptr<TControlPeer> CreateLabelPeer(TLabel* Label);

class TLabel : public TControl {
public:
    explicit TLabel(TComponent* AOwner);

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Kept for the form descriptions; the label never paints a background.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value) { FTransparent = Value; }

    // The lines as shown: accelerator marks removed, wrapped to the width when WordWrap is on.
    std::vector<std::string> Lines() const;
    int LineHeight() const;

    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void SetFont(const TFont& Value) override;
    void ParentChanged() override;
    void Loaded() override;

protected:
    std::unique_ptr<TControlPeer> CreatePeer() override;
    void InitializePeer(TControlPeer& APeer) override;
    void TextChanged() override;

private:
    // Sizes the label to its text (AutoSize on, not while loading).
    void AdjustBounds();
    // Passes the lines to the widget.
    void ShowLines();
    int MeasureText(const std::string& Text) const;

    bool FAutoSize = true;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FWordWrap = false;
    bool FTransparent = false;
};
