#include "versinfo/about.h"

#include "platform/kernel/classregistry.h"
#include "platform/widgets/button.h"
#include "platform/widgets/image.h"
#include "platform/widgets/label.h"
#include "platform/widgets/panel.h"

TAboutBox::TAboutBox(TComponent* AOwner) : TAboutBox(AOwner, TFormInheriting{})
{
    LoadFormDescriptions();
}

TAboutBox::TAboutBox(TComponent* AOwner, TFormInheriting) : TForm(AOwner)
{
    RegisterField("Panel1", Panel1);
    RegisterField("ProgramIcon", ProgramIcon);
    RegisterField("ProductName", ProductName);
    RegisterField("Version", Version);
    RegisterField("Copyright", Copyright);
    RegisterField("Comments", Comments);
    RegisterField("OKButton", OKButton);
    AddFormDescription("AboutBox");
}

namespace {

const TClassRegistration AboutBoxClass([] { RegisterComponentClass<TAboutBox>("TAboutBox", "TForm"); });

} // namespace
