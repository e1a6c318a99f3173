#pragma once
// The plain About dialog: a panel with the program's icon and four labels, and
// an OK button. Its layout comes from the form description "AboutBox"; it has
// no code of its own.

#include "platform/forms/form.h"

class TPanel;
class TImage;
class TLabel;
class TButton;

class TAboutBox : public TForm {
public:
    // Builds the dialog from its description (hidden).
    explicit TAboutBox(TComponent* AOwner);

    // The components of the description, filled in as it is read.
    TPanel* Panel1 = nullptr;
    TImage* ProgramIcon = nullptr;  // in Panel1
    TLabel* ProductName = nullptr;  // in Panel1
    TLabel* Version = nullptr;      // in Panel1
    TLabel* Copyright = nullptr;    // in Panel1
    TLabel* Comments = nullptr;     // in Panel1, word-wrapped
    TButton* OKButton = nullptr;    // default button, modal result OK

protected:
    // For a derived dialog: names the fields and adds this class's description,
    // leaving the reading to the class being created.
    TAboutBox(TComponent* AOwner, TFormInheriting);
};
