#include "support/eventloop.h"

#include "platform/forms/application.h"
#include "platform/kernel/sysutils.h"

namespace eventloop {

namespace {
constexpr uint32_t RoundMilliseconds = 1;
} // namespace

bool RunUntil(const std::function<bool()>& Done, int LimitMs)
{
    const uint32_t start = GetTickCount();
    while (!Done()) {
        if (GetTickCount() - start > static_cast<uint32_t>(LimitMs))
            return false;
        Application.ProcessMessages();
        Sleep(RoundMilliseconds);
    }
    return true;
}

void RunFor(int Ms)
{
    RunUntil([] { return false; }, Ms);
}

} // namespace eventloop
