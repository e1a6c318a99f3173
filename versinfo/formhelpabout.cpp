#include "versinfo/formhelpabout.h"

#include "platform/kernel/classregistry.h"

THelpAboutBox* HelpAboutBox = nullptr;

THelpAboutBox::THelpAboutBox(TComponent* AOwner) : TAboutBoxZOR(AOwner, TFormInheriting{})
{
    AddFormDescription("HelpAboutBox");
    LoadFormDescriptions();
}

namespace {

const TClassRegistration HelpAboutBoxClass([] {
    RegisterComponentClass<THelpAboutBox>("THelpAboutBox", "TAboutBoxZOR");
});

} // namespace
