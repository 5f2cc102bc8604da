#pragma once

#include <QString>

/// Where the three remote texts and the author's site live. Only scheme and host (or a file:// folder
/// laid out like the server) are configurable; the paths are the services' own.
struct Sources
{
    QString weatherBase;
    QString notamBase; ///< empty: no NOTAM provider is known, and NOTAM requests fail
    QString site;
};

namespace SourceAddress {

/// True for 1 to 8 ASCII letters and digits: the only codes that may reach an address or a file name.
bool IsSafeStationCode(const QString& code);

QString Metar(const QString& weatherBase, const QString& code);
QString Taf(const QString& weatherBase, const QString& code);
QString Notam(const QString& notamBase, const QString& code);
/// The provider's page without its query: the address whose cached copy the NOTAM path drops.
QString NotamPage(const QString& notamBase);
/// The contact page: site + "/contacter.php?sub=Ventorix" + @p versionCaption, sent unencoded.
QString Contact(const QString& site, const QString& versionCaption);

} // namespace SourceAddress
