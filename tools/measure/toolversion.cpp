#include "tools/measure/toolversion.h"

#include "platform/verres/ownversion.h"

namespace measure {

std::string ToolVersion()
{
    const std::string version = OwnFileVersion();
    return version.empty() ? std::string(QUIMBREL_BUILD_VERSION) : version;
}

} // namespace measure
