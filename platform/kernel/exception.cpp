#include "platform/kernel/exception.h"

#include <cstdio>

namespace {

// Made on first use, so that it exists whichever static object installs first.
TExceptionHandler& InstalledHandler()
{
    static TExceptionHandler handler;
    return handler;
}

} // namespace

void SetExceptionHandler(TExceptionHandler Handler)
{
    InstalledHandler() = std::move(Handler);
}

void HandleHandlerException(TObject* Sender)
{
    if (InstalledHandler()) {
        InstalledHandler()(Sender);
        return;
    }
    try {
        throw;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
    } catch (...) {
        std::fputs("Unknown error\n", stderr);
    }
}
