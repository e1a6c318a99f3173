#pragma once
// The Open dialog: lets the user choose a file. Filter lists the choices as
// "Name|pattern;pattern|Name|pattern..." ("Wav files (*.wav)|*.wav|All files (*.*)|*.*");
// FileName is the starting name and, after Execute returns true, the choice.

#include "platform/kernel/component.h"

#include <functional>
#include <string>
#include <vector>

enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0,      // the read-only box is ticked
    ofHideReadOnly = 1u << 2,  // no read-only box
    ofNoChangeDir = 1u << 3,   // the working folder is left alone
    ofPathMustExist = 1u << 8, // only names in existing folders
    ofFileMustExist = 1u << 9, // only existing files
    ofEnableSizing = 1u << 19, // the dialog may be resized
};
using TOpenOptions = unsigned;

struct TFileFilter {
    std::string Name;                  // "Wav files (*.wav)"
    std::vector<std::string> Patterns; // "*.wav"
};

class TOpenDialog;

// Answers the dialog in place of a person (tests): sets FileName to the file
// chosen and returns true, or returns false to cancel. The choice is checked
// as the dialog would check it.
using TOpenDialogHook = std::function<bool(const TOpenDialog& Dialog, std::string& FileName)>;

// Runs the toolkit's dialog; true with FileName set when a file was chosen.
bool RunOpenFileDialog(const TOpenDialog& Dialog, std::string& FileName);

class TOpenDialog : public TComponent {
public:
    explicit TOpenDialog(TComponent* AOwner);

    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& Value) { FFilter = Value; }
    // 1-based position in Filter of the choice shown first.
    int FilterIndex() const { return FFilterIndex; }
    void SetFilterIndex(int Value) { FFilterIndex = Value; }
    TOpenOptions Options() const { return FOptions; }
    void SetOptions(TOpenOptions Value) { FOptions = Value; }
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value) { FFileName = Value; }
    const std::string& InitialDir() const { return FInitialDir; }
    void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& Value) { FTitle = Value; }

    // Filter split into its choices; a name without a pattern is dropped.
    std::vector<TFileFilter> Filters() const;

    // Shows the dialog modally; true when a file was chosen.
    bool Execute();
    // Whether Name passes the options' checks (folder and file existence).
    bool Acceptable(const std::string& Name) const;

    static void SetExecuteHook(TOpenDialogHook Hook);

private:
    std::string FFilter;
    int FFilterIndex = 1;
    TOpenOptions FOptions = ofHideReadOnly | ofEnableSizing;
    std::string FFileName;
    std::string FInitialDir;
    std::string FTitle;
};
