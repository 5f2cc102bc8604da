#include "reports/Failure.h"

using namespace Qt::StringLiterals;

namespace Failure {
namespace {

// The first line of every failed download since the first version: users know it, scripts may look for it.
const QString kConnectionLine = u"Connexion à internet ..."_s;

QString server(const QString& host)
{
    return host.isEmpty() ? u"le serveur"_s : u"le serveur "_s + host;
}

// Every failure says which report was asked for: the window's header may still show the last station
// that answered.
QString why(const Reason& reason, const QString& reportType, const QString& code, const QString& host)
{
    const QString asked = code.isEmpty() ? reportType : u"%1 de %2"_s.arg(reportType, code);
    const auto said = [&](const QString& cause) { return asked + u" : "_s + cause; };
    switch (reason.cause) {
    case Cause::NotFound:
        if (reason.httpStatus == 0)
            return said(u"la source ne contient pas ce bulletin."_s);
        return said(u"le serveur ne connaît pas ce bulletin (erreur HTTP %1)."_s.arg(reason.httpStatus));
    case Cause::HttpStatus:
        return said(u"le serveur a répondu par une erreur (HTTP %1)."_s.arg(reason.httpStatus));
    case Cause::Timeout:
        return said(server(host) + u" n'a pas répondu à temps."_s);
    case Cause::HostNotFound:
        return said(host.isEmpty() ? u"le nom du serveur est introuvable."_s
                                   : u"le nom du serveur %1 est introuvable."_s.arg(host));
    case Cause::Refused:
        return said(server(host) + u" a refusé la connexion."_s);
    case Cause::SecureConnection:
        return said(host.isEmpty() ? u"la connexion sécurisée (TLS) avec le serveur a échoué."_s
                                   : u"la connexion sécurisée (TLS) avec %1 a échoué."_s.arg(host));
    case Cause::TooLarge:
        return said(u"la réponse du serveur est trop volumineuse pour être un bulletin."_s);
    case Cause::InvalidCode:
        return u"%1 de « %2 » : ce n'est pas un code de station (1 à 8 lettres ou chiffres)."_s.arg(reportType, code);
    case Cause::WorkFile:
        return said(u"le bulletin n'a pas pu être enregistré dans le dossier de travail."_s);
    case Cause::Empty:
        return said(server(host) + u" a envoyé une réponse vide."_s);
    case Cause::Incomplete:
        return said(u"bulletin incomplet, la réponse du serveur a été coupée avant la fin."_s);
    case Cause::Unexpected:
        return said(u"réponse inattendue du serveur, une page web est arrivée au lieu du bulletin."_s);
    case Cause::InvalidAddress:
        return said(u"l'adresse de la source n'est pas valable : seules http://serveur[:port][/chemin], "
                    u"https://… et file:///dossier sont acceptées, sans « ? » ni « # »."_s);
    case Cause::RedirectLoop:
        return said(server(host) + u" renvoie la demande d'adresse en adresse sans fin (boucle de redirections)."_s);
    case Cause::Network:
    case Cause::None:
    case Cause::NoSource:
        break;
    }
    return said(server(host) + u" n'a pas pu être joint ou a coupé la connexion."_s);
}

} // namespace

QString connectionLine()
{
    return kConnectionLine;
}

QString key(const Reason& reason)
{
    switch (reason.cause) {
    case Cause::None:
        return {};
    case Cause::NotFound:
        return u"not-found"_s;
    case Cause::HttpStatus:
        return u"http-"_s + QString::number(reason.httpStatus);
    case Cause::Timeout:
        return u"timeout"_s;
    case Cause::HostNotFound:
        return u"host-not-found"_s;
    case Cause::Refused:
        return u"refused"_s;
    case Cause::SecureConnection:
        return u"tls"_s;
    case Cause::TooLarge:
        return u"too-large"_s;
    case Cause::InvalidCode:
        return u"invalid-code"_s;
    case Cause::NoSource:
        return u"no-source"_s;
    case Cause::WorkFile:
        return u"work-file"_s;
    case Cause::Empty:
        return u"empty"_s;
    case Cause::Incomplete:
        return u"incomplete"_s;
    case Cause::Unexpected:
        return u"unexpected"_s;
    case Cause::InvalidAddress:
        return u"invalid-address"_s;
    case Cause::RedirectLoop:
        return u"redirect-loop"_s;
    case Cause::Network:
        break;
    }
    return u"network"_s;
}

QString reportAreaText(const Reason& reason, const QString& reportType, const QString& code, const QString& host)
{
    if (reason.cause == Cause::None)
        return {};
    // Nothing failed to connect: the connection line would send the user to check the wrong thing.
    if (reason.cause == Cause::NoSource) {
        if (reportType == u"NOTAM") {
            return u"Aucune source de NOTAM n'est configurée (NOTAM de %1).\n"
                   "Indiquez-en une dans le fichier de réglages, section [sources], clé notam "
                   "(par exemple notam=https://notam.example.org), ou avec l'option --notam-base URL."_s.arg(code);
        }
        return u"Aucune source de METAR et de TAF n'est configurée (%1 de %2).\n"
               "Indiquez-en une dans le fichier de réglages, section [sources], clé weather "
               "(par exemple weather=https://meteo.example.org), ou avec l'option --weather-base URL."_s.arg(
                   reportType, code);
    }
    return kConnectionLine + u'\n' + why(reason, reportType, code, host);
}

} // namespace Failure
