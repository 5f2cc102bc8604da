#include "briefing/DossierDocument.h"

using namespace Qt::StringLiterals;

namespace DossierDocument {
namespace {

constexpr quint32 kHeadingBlue = 0x0000C0;
constexpr quint32 kWarningRed = 0xC00000;
constexpr quint32 kNoteOrange = 0xB05000;
constexpr quint32 kBlack = 0x000000;

using BriefingDocument::Paragraph;

Paragraph line(const QString& text, quint32 rgb, bool bold, qreal points)
{
    return Paragraph { TextRun { text, rgb, bold, points } };
}

QString shownTime(const QDateTime& utc)
{
    return utc.toUTC().toString(u"dd/MM/yyyy à HH:mm"_s) + u" UTC"_s;
}

int missingReports(const FlightDossier::Part& part)
{
    return (part.metar.fetched() ? 0 : 1) + (part.taf.fetched() ? 0 : 1) + (part.notam && !part.notam->fetched());
}

void addArrival(QList<Paragraph>& paragraphs, const TafArrival::Forecast& forecast)
{
    paragraphs.append(line(TafArrival::heading(forecast), kBlack, true, 11));
    if (const QString note = TafArrival::note(forecast); !note.isEmpty())
        paragraphs.append(line(note.left(1).toUpper() + note.mid(1) + u'.', kNoteOrange, true, 9.5));
    for (const TafArrival::Group& group : forecast.groups) {
        // Conditions that may come and go are what a pilot must not miss, whatever the output's colours.
        paragraphs.append(group.warning ? line(u"Attention — "_s + TafArrival::groupLine(group), kWarningRed, true, 9.5)
                                        : line(TafArrival::groupLine(group), kBlack, false, 9.5));
    }
}

} // namespace

QString title(const FlightDossier::Dossier& dossier)
{
    QStringList route;
    for (const FlightDossier::Stop& stop : dossier.plan.stops) {
        if (stop.role != FlightDossier::Role::Alternate)
            route.append(stop.code);
    }
    return u"Dossier de vol "_s + route.join(u" → "_s);
}

BriefingDocument::Document compose(const FlightDossier::Dossier& dossier)
{
    QList<Paragraph> paragraphs;
    const bool demo = std::any_of(dossier.parts.cbegin(), dossier.parts.cend(),
        [](const FlightDossier::Part& part) { return part.metar.demo || part.taf.demo; });
    if (demo)
        paragraphs.append(line(Reports::kDemoStrip, kWarningRed, true, 16));
    paragraphs.append(line(FlightDossier::routeText(dossier.plan), kHeadingBlue, true, 16));
    paragraphs.append(line(
        u"Départ le %1 — arrivée le %2"_s.arg(shownTime(dossier.plan.departUtc), shownTime(dossier.plan.arriveUtc)),
        kBlack, false, 10));
    if (dossier.obtainedUtc.isValid())
        paragraphs.append(line(u"Obtenu le "_s + shownTime(dossier.obtainedUtc), kBlack, false, 9));
    int missing = 0;
    for (const FlightDossier::Part& part : dossier.parts)
        missing += missingReports(part);
    if (missing > 0) {
        paragraphs.append(line(missing == 1
                ? u"1 bulletin n'a pas pu être obtenu : sa section dit pourquoi."_s
                : u"%1 bulletins n'ont pas pu être obtenus : leurs sections disent pourquoi."_s.arg(missing),
            kWarningRed, true, 10));
    }

    for (const FlightDossier::Part& part : dossier.parts) {
        paragraphs.append(Paragraph());
        const QString place = part.description.isEmpty() ? u"station inconnue de l'annuaire"_s : part.description;
        paragraphs.append(line(u"%1 — %2 — %3"_s.arg(FlightDossier::roleName(part.stop.role), part.stop.code, place),
            kHeadingBlue, true, 16));
        if (const std::optional<TafArrival::Forecast> forecast = FlightDossier::arrivalForecast(part, dossier.plan))
            addArrival(paragraphs, *forecast);
        paragraphs.append(Paragraph());
        paragraphs += BriefingDocument::reportParagraphs(part.metar);
        paragraphs.append(Paragraph());
        paragraphs += BriefingDocument::reportParagraphs(part.taf);
        if (part.notam) {
            paragraphs.append(Paragraph());
            paragraphs += BriefingDocument::reportParagraphs(*part.notam);
        }
    }
    // An empty paragraph has one run so that every output gives it its height.
    for (Paragraph& paragraph : paragraphs) {
        if (paragraph.isEmpty())
            paragraph.append(TextRun { QString(), kBlack, false, 9 });
    }
    return BriefingDocument::Document { title(dossier), paragraphs };
}

} // namespace DossierDocument
