#include "platform/LinkOpener.h"

#include <QDesktopServices>
#include <QUrl>

void DesktopLinkOpener::open(const QString& address)
{
    // The contact address carries the version caption unencoded; tolerant parsing keeps it as written.
    QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}
