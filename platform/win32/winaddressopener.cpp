#include "platform/kernel/addressopener.h"
#include "platform/forms/application.h"

#include "platform/win32/wide.h"
#include "platform/win32/winapi.h"


namespace {

// ShellExecute's results above this value mean success.
constexpr INT_PTR kShellExecuteFailureLimit = 32;

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
    Application.Peer();
    const std::wstring address = ToWide(Address);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > kShellExecuteFailureLimit;
}
