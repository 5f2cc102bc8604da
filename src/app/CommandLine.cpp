#include "CommandLine.h"

#include <QTimeZone>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

// An empty variable counts as unset, as in most programs.
std::optional<QString> environmentValue(const QStringList& environment, const QString& name)
{
    const QString prefix = name + u'=';
    for (const QString& entry : environment) {
        if (entry.startsWith(prefix) && entry.size() > prefix.size())
            return entry.mid(prefix.size());
    }
    return std::nullopt;
}

} // namespace

CommandLine CommandLine::parse(const QStringList& arguments, const QStringList& environment)
{
    CommandLine line;
    line.sources.weatherBase = environmentValue(environment, u"VENTORIX_WEATHER_BASE"_s);
    line.sources.notamBase = environmentValue(environment, u"VENTORIX_NOTAM_BASE"_s);
    line.sources.site = environmentValue(environment, u"VENTORIX_SITE"_s);

    std::optional<QString> format;
    std::optional<QString> now;
    std::optional<QString> output;
    std::optional<QString> depart;
    std::optional<QString> arrive;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString option = arguments.at(i);
        std::optional<QString> inlineValue;
        if (option.startsWith(u"--") && option.contains(u'=')) {
            inlineValue = option.section(u'=', 1);
            option = option.section(u'=', 0, 0);
        }
        const auto value = [&]() -> std::optional<QString> {
            if (inlineValue)
                return inlineValue;
            if (i + 1 < arguments.size())
                return arguments.at(++i);
            line.error = u"l'option %1 attend une valeur"_s.arg(option);
            return std::nullopt;
        };

        if (option == u"--help" || option == u"-h") {
            line.help = true;
        } else if (option == u"--version" || option == u"-v") {
            line.version = true;
        } else if (option == u"--weather-base" || option == u"--notam-base" || option == u"--site") {
            const std::optional<QString> given = value();
            if (!given)
                return line;
            if (option == u"--weather-base")
                line.sources.weatherBase = *given;
            else if (option == u"--notam-base")
                line.sources.notamBase = *given;
            else
                line.sources.site = *given;
        } else if (option == u"--demo") {
            line.sources.demo = true;
        } else if (option == u"--format") {
            format = value();
            if (!format)
                return line;
        } else if (option == u"--output") {
            output = value();
            if (!output)
                return line;
        } else if (option == u"--now") {
            now = value();
            if (!now)
                return line;
        } else if (option == u"--depart" || option == u"--arrive") {
            std::optional<QString>& given = option == u"--depart" ? depart : arrive;
            given = value();
            if (!given)
                return line;
        } else if (option == u"--dossier") {
            // "--dossier LFPG LFRS LFRN": the codes run to the next option.
            line.dossier = DossierRequest {};
            if (inlineValue)
                line.dossier->codes.append(inlineValue->trimmed().toUpper());
            while (i + 1 < arguments.size() && !arguments.at(i + 1).startsWith(u"--"))
                line.dossier->codes.append(arguments.at(++i).trimmed().toUpper());
            if (line.dossier->codes.size() < 2) {
                line.error = u"l'option --dossier attend un départ et une destination, puis les dégagements"_s;
                return line;
            }
        } else if (option == u"--report") {
            // "--report=metar LFPG" as well as "--report metar LFPG".
            if (i + (inlineValue ? 1 : 2) >= arguments.size()) {
                line.error = u"l'option --report attend un type (metar, taf ou notam) et un code"_s;
                return line;
            }
            const QString typeName = inlineValue ? *inlineValue : arguments.at(++i);
            const std::optional<ReportType> type = reportTypeFromKey(typeName);
            if (!type) {
                line.error = u"type de bulletin inconnu : %1 (metar, taf ou notam)"_s.arg(typeName);
                return line;
            }
            // Servers and the station table know codes in capitals only.
            line.report
                = ReportRequest { *type, arguments.at(++i).trimmed().toUpper(), Format::Json, std::nullopt, QString() };
        } else if (option == u"--near" || option == u"--search") {
            const std::optional<QString> given = value();
            if (!given)
                return line;
            const bool near = option == u"--near";
            if (given->trimmed().isEmpty()) {
                line.error = near ? u"l'option --near attend un code"_s : u"l'option --search attend un texte"_s;
                return line;
            }
            line.stationQuery = StationQuery { near ? StationQuery::Kind::Near : StationQuery::Kind::Search,
                near ? given->trimmed().toUpper() : *given, Format::Json };
        } else {
            line.error = u"option inconnue : %1"_s.arg(arguments.at(i));
            return line;
        }
    }

    if (line.report && line.stationQuery) {
        line.error = u"--report, --near et --search ne vont pas ensemble"_s;
        return line;
    }
    if (line.dossier && (line.report || line.stationQuery)) {
        line.error = u"--dossier ne va ni avec --report, ni avec --near ou --search"_s;
        return line;
    }
    if ((depart || arrive) && !line.dossier) {
        line.error = u"les options --depart et --arrive vont avec --dossier"_s;
        return line;
    }
    if ((now || output) && !line.report && !line.dossier) {
        line.error = u"les options --output et --now vont avec --report ou --dossier"_s;
        return line;
    }
    if (format && !line.report && !line.stationQuery && !line.dossier) {
        line.error = u"l'option --format va avec --report, --dossier, --near ou --search"_s;
        return line;
    }
    if (line.dossier) {
        for (const auto& [given, time] :
            { std::pair { &depart, &line.dossier->depart }, std::pair { &arrive, &line.dossier->arrive } }) {
            if (!*given)
                continue;
            *time = GivenTime::parse(**given);
            if (!*time) {
                line.error = u"heure invalide : %1 (HH:MM ou AAAA-MM-JJTHH:MM, en UTC)"_s.arg(**given);
                return line;
            }
        }
        // The output options below are read once, into a report request, and handed over.
        line.report = ReportRequest { ReportType::Metar, QString(), Format::Text, std::nullopt, QString() };
    }
    if (format) {
        static const std::array<std::pair<QString, Format>, 4> kFormats { { { u"json"_s, Format::Json },
            { u"text"_s, Format::Text }, { u"html"_s, Format::Html }, { u"pdf"_s, Format::Pdf } } };
        const auto known = std::find_if(
            kFormats.cbegin(), kFormats.cend(), [&](const auto& entry) { return entry.first == *format; });
        if (known == kFormats.cend()) {
            line.error = u"format inconnu : %1 (json, text, html ou pdf)"_s.arg(*format);
            return line;
        }
        if (line.stationQuery) {
            // A list of stations has no briefing to lay out.
            if (known->second != Format::Json && known->second != Format::Text) {
                line.error = u"format inconnu pour une liste de stations : %1 (json ou text)"_s.arg(*format);
                return line;
            }
            line.stationQuery->format = known->second;
        } else {
            line.report->format = known->second;
        }
    }
    if (output) {
        if (output->isEmpty()) {
            line.error = u"l'option --output attend un nom de fichier"_s;
            return line;
        }
        line.report->output = *output;
    }
    // A PDF is no text for a terminal.
    if (line.report && line.report->format == Format::Pdf && line.report->output.isEmpty()) {
        line.error = u"le format pdf demande --output FICHIER"_s;
        return line;
    }
    if (now) {
        const QDateTime moment = QDateTime::fromString(*now, u"yyyy-MM-ddTHH:mm"_s);
        if (!moment.isValid()) {
            line.error = u"date invalide pour --now : %1 (AAAA-MM-JJTHH:MM)"_s.arg(*now);
            return line;
        }
        line.report->now = moment;
    }
    if (line.dossier) {
        line.dossier->format = line.report->format;
        line.dossier->output = line.report->output;
        line.dossier->now = line.report->now;
        line.report.reset();
    }
    return line;
}

QString CommandLine::usage(const QString& program)
{
    return u"Usage : %1 [options]\n"
           "        %1 --report metar|taf|notam CODE [--demo] [--format json|text|html|pdf]\n"
           "                 [--output FICHIER] [--now AAAA-MM-JJTHH:MM]\n"
           "        %1 --dossier DÉPART DESTINATION [DÉGAGEMENT…] [--depart HH:MM] [--arrive HH:MM]\n"
           "                 [--format text|html|pdf|json] [--output FICHIER]\n"
           "        %1 --near CODE [--format json|text]\n"
           "        %1 --search TEXTE [--format json|text]\n"
           "\n"
           "Options :\n"
           "  --weather-base URL  serveur des METAR et TAF (ou VENTORIX_WEATHER_BASE)\n"
           "  --notam-base URL    serveur des NOTAM (ou VENTORIX_NOTAM_BASE)\n"
           "  --site URL          site de l'auteur (ou VENTORIX_SITE)\n"
           "                      à défaut : clés weather, notam et site de la section\n"
           "                      [sources] du fichier de réglages\n"
           "  --demo              bulletins d'exemple intégrés au programme (sans internet)\n"
           "  --report TYPE CODE  affiche le bulletin sans ouvrir de fenêtre, puis quitte\n"
           "  --format FORMAT     forme de la sortie de --report : json (par défaut), text, ou le bulletin\n"
           "                      complet en html ou pdf (pdf demande --output) ; json ou text pour\n"
           "                      --near et --search\n"
           "  --dossier CODES     dossier de vol sans fenêtre : départ, destination, jusqu'à trois\n"
           "                      dégagements ; METAR, TAF et NOTAM de chacun, TAF à l'arrivée\n"
           "  --depart, --arrive  heures UTC du vol, HH:MM ou AAAA-MM-JJTHH:MM (par défaut :\n"
           "                      maintenant et une heure plus tard)\n"
           "  --output FICHIER    écrit la sortie de --report ou --dossier dans FICHIER\n"
           "  --now DATE          heure locale lue par la règle de péremption\n"
           "  --near CODE         les dix stations les plus proches (distance, relèvement vrai)\n"
           "  --search TEXTE      les stations dont le code, la ville, le pays ou le nom\n"
           "                      d'aérodrome répond au texte\n"
           "  --help              affiche cette aide\n"
           "  --version           affiche la version\n"_s.arg(program);
}

QDateTime CommandLine::GivenTime::onDay(const QDate& dayUtc) const
{
    return timeOfDay ? QDateTime(dayUtc, *timeOfDay, Qt::UTC) : moment;
}

std::optional<CommandLine::GivenTime> CommandLine::GivenTime::parse(const QString& text)
{
    const QTime time = QTime::fromString(text, u"HH:mm"_s);
    if (time.isValid())
        return GivenTime { time, {} };
    QString full = text;
    if (full.endsWith(u'Z'))
        full.chop(1);
    for (const QString& form : { u"yyyy-MM-ddTHH:mm"_s, u"yyyy-MM-ddTHH:mm:ss"_s }) {
        QDateTime moment = QDateTime::fromString(full, form);
        if (moment.isValid()) {
            moment.setTimeZone(QTimeZone::utc());
            return GivenTime { std::nullopt, moment };
        }
    }
    return std::nullopt;
}
