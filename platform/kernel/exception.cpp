#include "platform/kernel/exception.h"

#include <cstdio>
#include <utility>

namespace {

// Made on first use, so that it exists whichever static object installs first.
TExceptionHandler& InstalledHandler()
{
    static TExceptionHandler handler;
    return handler;
}

} // namespace

TExceptionHandler SetExceptionHandler(TExceptionHandler Handler)
{
    return std::exchange(InstalledHandler(), std::move(Handler));
}

void HandleHandlerException(TObject* Sender)
{
    if (InstalledHandler()) {
        InstalledHandler()(Sender);
        return;
    }
    std::fprintf(stderr, "%s\n", CurrentExceptionMessage().c_str());
}

std::string CurrentExceptionMessage()
{
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "Unknown error";
    }
}
