#include "platform/kernel/addressopener.h"

#include "platform/forms/application.h"
#include "platform/win32/widetext.h"
#include "platform/win32/winapi.h"

namespace {

// ShellExecute's results above this value mean success.
constexpr INT_PTR ShellExecuteFailureLimit = 32;

} // namespace

bool DesktopOpen(const std::string& Address)
{
    Application.Peer();
    const std::wstring address = WideText(Address);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > ShellExecuteFailureLimit;
}
