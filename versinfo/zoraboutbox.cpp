#include "versinfo/zoraboutbox.h"

#include "platform/forms/application.h"
#include "platform/kernel/addressopener.h"
#include "platform/kernel/classregistry.h"
#include "platform/kernel/sysutils.h"
#include "platform/widgets/image.h"
#include "platform/widgets/label.h"
#include "versinfo/versinforesource.h"

#include <cctype>

namespace {

const char* const CaptionPrefix = "About Tamsvik's ";
const char* const VersionSeparator = ", V";
const char* const CommentsSeparator = ", ";
const char* const WebSiteKey = "Web site";
const char* const DefaultScheme = "http://";
const char* const SchemeEnd = "://";

// Whether Address begins with one or more letters followed by "://".
bool HasScheme(const std::string& Address)
{
    const size_t end = Address.find(SchemeEnd);
    if (end == std::string::npos || end == 0)
        return false;
    for (size_t i = 0; i < end; ++i)
        if (!std::isalpha(static_cast<unsigned char>(Address[i])))
            return false;
    return true;
}

const TClassRegistration AboutBoxZORClass([] { RegisterComponentClass<TAboutBoxZOR>("TAboutBoxZOR", "TAboutBox"); });

} // namespace

TAboutBoxZOR::TAboutBoxZOR(TComponent* AOwner) : TAboutBoxZOR(AOwner, TFormInheriting{})
{
    LoadFormDescriptions();
}

TAboutBoxZOR::TAboutBoxZOR(TComponent* AOwner, TFormInheriting Inheriting) : TAboutBox(AOwner, Inheriting)
{
    RegisterField("VI", VI);
    RegisterField("WebSite", WebSite);
    RegisterHandler("FormShow", &TAboutBoxZOR::FormShow);
    RegisterHandler("WebSiteClick", &TAboutBoxZOR::WebSiteClick);
    AddFormDescription("AboutBoxZOR");
}

void TAboutBoxZOR::FormShow(TObject*)
{
    SetCaption(CaptionPrefix + VI->GetPreDefValue(pdProductName));
    ProgramIcon->ShowApplicationIcon();
    Version->SetCaption(ExtractFileName(Application.ExeName()) + VersionSeparator + VI->FileVersionNumber().AsString() +
                        CommentsSeparator + VI->GetPreDefValue(pdComments));
    WebSite->SetCaption(VI->GetVersionString(WebSiteKey));
}

std::string TAboutBoxZOR::WebAddress(const std::string& Caption)
{
    return HasScheme(Caption) ? Caption : DefaultScheme + Caption;
}

void TAboutBoxZOR::WebSiteClick(TObject*)
{
    if (WebSite->Caption().empty())
        return;
    // Whether the desktop could open it is not reported.
    ShellOpen(WebAddress(WebSite->Caption()));
}
