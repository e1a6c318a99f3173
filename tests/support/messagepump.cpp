#include "support/messagepump.h"

#include "platform/kernel/messages.h"
#include "platform/kernel/sysutils.h"

namespace messagepump {

namespace {
constexpr uint32_t RoundMilliseconds = 1;
} // namespace

bool PumpUntil(const std::function<bool()>& Done, int MaxRounds)
{
    for (int round = 0; round < MaxRounds; ++round) {
        DispatchPostedMessages();
        if (Done())
            return true;
        Sleep(RoundMilliseconds);
    }
    DispatchPostedMessages();
    return Done();
}

void PumpFor(int Rounds)
{
    for (int round = 0; round < Rounds; ++round) {
        DispatchPostedMessages();
        Sleep(RoundMilliseconds);
    }
    DispatchPostedMessages();
}

} // namespace messagepump
