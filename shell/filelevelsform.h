#pragma once
// "File levels - NAME": after a file run, the verdict on the whole file as
// quimbrel-measure's text report gives it, measured by the same code
// (report/) as the run went: the heading with duration and blocks, each channel's
// level figures and clipped blocks, and each mark with its advice. A small
// window beside the main one; closing it changes nothing else.

#include "platform/forms/form.h"
#include "report/reportwriter.h"

#include <string>

class TLabel;
class TListView;
class TButton;

class TFileLevelsForm : public TForm {
public:
    // Builds the window from its description (hidden).
    explicit TFileLevelsForm(TComponent* AOwner);

    TLabel* LabelHeading = nullptr;  // duration, rate, channels, blocks and measure
    TListView* ListLevels = nullptr; // a row per figure: its name, left, right
    TButton* ButtonClose = nullptr;  // closes the window; Enter and Escape press it

    // Shows the figures of FileName, Info and Summary as measured, and the
    // window; false, with the window left as it was, when no full block was measured.
    bool ShowFigures(const std::string& FileName, const measure::TFileInfo& Info, const measure::TFileSummary& Summary);

    void ButtonCloseClick(TObject* Sender);

private:
    void AddRow(const std::string& Name, const std::string& Left, const std::string& Right);
};
