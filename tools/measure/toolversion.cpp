#include "tools/measure/toolversion.h"

std::string ToolVersion()
{
    return QUIMBREL_BUILD_VERSION;
}
