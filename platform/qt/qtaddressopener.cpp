#include "platform/kernel/addressopener.h"

#include "platform/forms/application.h"
#include "platform/qt/qtconvert.h"

#include <QDesktopServices>
#include <QUrl>

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
    Application.Peer();
    const QUrl url = QUrl::fromUserInput(ToQString(Address));
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}
