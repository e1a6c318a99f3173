#include "platform/verres/resstrings.h"

#include "platform/verres/resstringtable.h"

std::string LoadResString(int Id)
{
    for (size_t i = 0; i < ResStringTableCount; ++i) {
        if (ResStringTable[i].Id == Id)
            return ResStringTable[i].Text;
    }
    return std::string();
}
