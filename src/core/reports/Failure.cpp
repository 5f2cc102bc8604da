#include "reports/Failure.h"

namespace Failure {
namespace {

// The first line of every failed download since the first version: users know it, scripts may look for it.
const QString kConnectionLine = u"Connexion à internet ..."_qs;

QString server(const QString& host)
{
    return host.isEmpty() ? u"le serveur"_qs : u"le serveur "_qs + host;
}

// Every failure says which report was asked for: the window's header may still show the last station
// that answered.
QString why(const Reason& reason, const QString& reportType, const QString& code, const QString& host)
{
    const QString asked = code.isEmpty() ? reportType : u"%1 de %2"_qs.arg(reportType, code);
    const auto said = [&](const QString& cause) { return asked + u" : "_qs + cause; };
    switch (reason.cause) {
    case Cause::NotFound:
        if (reason.httpStatus == 0)
            return said(u"la source ne contient pas ce bulletin."_qs);
        return said(u"le serveur ne connaît pas ce bulletin (erreur HTTP %1)."_qs.arg(reason.httpStatus));
    case Cause::HttpStatus:
        return said(u"le serveur a répondu par une erreur (HTTP %1)."_qs.arg(reason.httpStatus));
    case Cause::Timeout:
        return said(server(host) + u" n'a pas répondu à temps."_qs);
    case Cause::HostNotFound:
        return said(host.isEmpty() ? u"le nom du serveur est introuvable."_qs
                                   : u"le nom du serveur %1 est introuvable."_qs.arg(host));
    case Cause::Refused:
        return said(server(host) + u" a refusé la connexion."_qs);
    case Cause::SecureConnection:
        return said(host.isEmpty() ? u"la connexion sécurisée (TLS) avec le serveur a échoué."_qs
                                   : u"la connexion sécurisée (TLS) avec %1 a échoué."_qs.arg(host));
    case Cause::TooLarge:
        return said(u"la réponse du serveur est trop volumineuse pour être un bulletin."_qs);
    case Cause::InvalidCode:
        return u"%1 de « %2 » : ce n'est pas un code de station (1 à 8 lettres ou chiffres)."_qs.arg(reportType, code);
    case Cause::WorkFile:
        return said(u"le bulletin n'a pas pu être enregistré dans le dossier de travail."_qs);
    case Cause::Empty:
        return said(server(host) + u" a envoyé une réponse vide."_qs);
    case Cause::Incomplete:
        return said(u"bulletin incomplet, la réponse du serveur a été coupée avant la fin."_qs);
    case Cause::Unexpected:
        return said(u"réponse inattendue du serveur, une page web est arrivée au lieu du bulletin."_qs);
    case Cause::InvalidAddress:
        return said(u"l'adresse de la source n'est pas valable : seules http://serveur[:port][/chemin], "
                    u"https://… et file:///dossier sont acceptées, sans « ? » ni « # »."_qs);
    case Cause::RedirectLoop:
        return said(server(host) + u" renvoie la demande d'adresse en adresse sans fin (boucle de redirections)."_qs);
    case Cause::Network:
    case Cause::None:
    case Cause::NoSource:
        break;
    }
    return said(server(host) + u" n'a pas pu être joint ou a coupé la connexion."_qs);
}

} // namespace

QString ConnectionLine()
{
    return kConnectionLine;
}

QString Key(const Reason& reason)
{
    switch (reason.cause) {
    case Cause::None:
        return {};
    case Cause::NotFound:
        return u"not-found"_qs;
    case Cause::HttpStatus:
        return u"http-"_qs + QString::number(reason.httpStatus);
    case Cause::Timeout:
        return u"timeout"_qs;
    case Cause::HostNotFound:
        return u"host-not-found"_qs;
    case Cause::Refused:
        return u"refused"_qs;
    case Cause::SecureConnection:
        return u"tls"_qs;
    case Cause::TooLarge:
        return u"too-large"_qs;
    case Cause::InvalidCode:
        return u"invalid-code"_qs;
    case Cause::NoSource:
        return u"no-source"_qs;
    case Cause::WorkFile:
        return u"work-file"_qs;
    case Cause::Empty:
        return u"empty"_qs;
    case Cause::Incomplete:
        return u"incomplete"_qs;
    case Cause::Unexpected:
        return u"unexpected"_qs;
    case Cause::InvalidAddress:
        return u"invalid-address"_qs;
    case Cause::RedirectLoop:
        return u"redirect-loop"_qs;
    case Cause::Network:
        break;
    }
    return u"network"_qs;
}

QString ReportAreaText(const Reason& reason, const QString& reportType, const QString& code, const QString& host)
{
    if (reason.cause == Cause::None)
        return {};
    // Nothing failed to connect: the connection line would send the user to check the wrong thing.
    if (reason.cause == Cause::NoSource) {
        if (reportType == u"NOTAM") {
            return u"Aucune source de NOTAM n'est configurée (NOTAM de %1).\n"
                   "Indiquez-en une dans le fichier de réglages, section [sources], clé notam "
                   "(par exemple notam=https://notam.example.org), ou avec l'option --notam-base URL."_qs.arg(code);
        }
        return u"Aucune source de METAR et de TAF n'est configurée (%1 de %2).\n"
               "Indiquez-en une dans le fichier de réglages, section [sources], clé weather "
               "(par exemple weather=https://meteo.example.org), ou avec l'option --weather-base URL."_qs.arg(
                   reportType, code);
    }
    return kConnectionLine + u'\n' + why(reason, reportType, code, host);
}

} // namespace Failure
