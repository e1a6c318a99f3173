#include "platform/kernel/programarguments.h"

std::vector<std::string> ProgramArguments(int ArgumentCount, char** Arguments)
{
    if (ArgumentCount < 1)
        return {};
    return std::vector<std::string>(Arguments + 1, Arguments + ArgumentCount);
}
