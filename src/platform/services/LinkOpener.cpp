#include "services/LinkOpener.h"

#include "services/Logging.h"

#include <QDesktopServices>
#include <QUrl>

void DesktopLinkOpener::open(const QString& address)
{
    // The contact address carries the version caption unencoded; tolerant parsing keeps it as written.
    if (!QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode)))
        qCWarning(lcFiles) << "no handler opened" << address;
}
