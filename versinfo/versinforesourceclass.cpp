// TVersionInfoResource as form descriptions name it, with its published properties.

#include "platform/kernel/classregistry.h"
#include "platform/widgets/label.h"
#include "platform/widgets/listview.h"
#include "versinfo/versinforesource.h"

namespace {

TElementNames PreDefNames()
{
    const char* const names[PreDefCount] = {
        "pdCompanyName",    "pdFileDescription", "pdFileVersion",    "pdInternalName",
        "pdLegalCopyright", "pdLegalTrademarks", "pdOriginalFilename", "pdProductName",
        "pdProductVersion", "pdComments",        "pdBuildFlags",
    };
    TElementNames elements;
    for (int i = 0; i < PreDefCount; ++i)
        elements.emplace_back(names[i], TPreDefs{static_cast<TPreDef>(i)}.Bits());
    return elements;
}

void RegisterVersionInfoResource()
{
    using R = TVersionInfoResource;
    RegisterComponentClass<R>("TVersionInfoResource", "TComponent",
                              {
                                  // Not stored; a written value is ignored.
                                  Property("Version", &R::SetVersion),
                                  Property("Filename", &R::SetFilename),
                                  Property("ForceEXE", &R::SetForceEXE),
                                  Property("VersionLabel", &R::SetVersionLabel),
                                  Property("VersionListView", &R::SetVersionListView),
                                  Property("DescriptionLabel", &R::SetDescriptionLabel),
                                  Property("CopyrightLabel", &R::SetCopyrightLabel),
                                  Property("ProductLabel", &R::SetProductLabel),
                                  SetProperty("ShowResource", &R::SetShowResource, PreDefNames()),
                              });
}

const TClassRegistration VersionInfoResourceClass(RegisterVersionInfoResource);

} // namespace
