#pragma once
// The About dialog the program shows from Help, "&About...": the version-
// resource dialog under its own form name ("HelpAboutBox").

#include "versinfo/zoraboutbox.h"

class THelpAboutBox : public TAboutBoxZOR {
public:
    explicit THelpAboutBox(TComponent* AOwner);
};

// The program's one About dialog, created at start-up with Application.CreateForm.
extern THelpAboutBox* HelpAboutBox;
