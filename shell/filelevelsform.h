#pragma once
// "File levels - NAME": after a file run, the verdict on the whole file as
// quimbrel-measure's text report gives it, measured by the same code
// (report/): the heading with duration and blocks, each channel's
// level figures and clipped blocks, and each mark with its advice. A small
// window beside the main one; closing it changes nothing else.

#include "platform/forms/form.h"

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

    // Measures FileName with the peak (or RMS) measure, shows its figures
    // and the window; false, with the window left as it was, when the file
    // cannot be measured or holds no full block.
    bool ShowFile(const std::string& FileName, bool PeakLevel);

    void ButtonCloseClick(TObject* Sender);

private:
    void AddRow(const std::string& Name, const std::string& Left, const std::string& Right);
};
