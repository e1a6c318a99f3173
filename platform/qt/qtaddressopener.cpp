#include "platform/kernel/addressopener.h"

#include "platform/forms/application.h"
#include "platform/qt/qtconvert.h"

#include <QDesktopServices>
#include <QUrl>

bool DesktopOpen(const std::string& Address)
{
    Application.Peer();
    const QUrl url = QUrl::fromUserInput(ToQString(Address));
    if (!url.isValid())
        return false;
    return QDesktopServices::openUrl(url);
}
