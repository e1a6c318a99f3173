#pragma once
// The About dialog filled from the program's own version resource: the caption
// and product name, the version line, the copyright and a web-site link that
// opens in the desktop's browser. Its description "AboutBoxZOR" changes the
// plain dialog's layout and adds the version reader VI and the WebSite label.

#include "versinfo/about.h"

#include <string>

class TVersionInfoResource;

class TAboutBoxZOR : public TAboutBox {
public:
    explicit TAboutBoxZOR(TComponent* AOwner);

    TVersionInfoResource* VI = nullptr; // linked to Copyright and ProductName
    TLabel* WebSite = nullptr;          // in Panel1, right-aligned, anchored top right

    // OnShow: caption, icon, version line and web site, each time the dialog shows.
    void FormShow(TObject* Sender);
    // WebSite's OnClick: opens the address it shows, when there is one.
    void WebSiteClick(TObject* Sender);

    // The address to open for a web-site caption: unchanged when it begins
    // with a scheme (letters and "://", any case), otherwise after "http://".
    static std::string WebAddress(const std::string& Caption);

protected:
    TAboutBoxZOR(TComponent* AOwner, TFormInheriting);
};
