#include "platform/kernel/addressopener.h"

namespace {

TShellOpenHook& ShellOpenHook()
{
    static TShellOpenHook hook;
    return hook;
}

} // namespace

void SetShellOpenHook(TShellOpenHook Hook)
{
    ShellOpenHook() = std::move(Hook);
}

bool ShellOpen(const std::string& Address)
{
    if (ShellOpenHook())
        return ShellOpenHook()(Address);
    return DesktopOpen(Address);
}
