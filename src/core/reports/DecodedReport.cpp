#include "reports/DecodedReport.h"

#include "reports/Expiry.h"
#include "reports/MetarStyle.h"
#include "reports/MetarTranslation.h"
#include "reports/NotamCut.h"
#include "reports/ReportTimes.h"
#include "reports/TafDecoder.h"
#include "reports/WorkFile.h"
#include "stations/StationGeography.h"

#include <QRegularExpression>
#include <QTimeZone>

#include <algorithm>
#include <array>
#include <cmath>

using namespace Qt::StringLiterals;

namespace Reports {
namespace {

const QString kMetarBanner = u"METAR Périmé"_s;
const QString kTafBanner = u"TAF Périmé"_s;
// NOTAMs are never out of date; their banner only says that none could be fetched.
const QString kNotamBanner = u"X"_s;
const QString kNotamTitle = u"Notams"_s;

// The looks of the status lines, one colour per state, so a glance tells what is in force.
constexpr quint32 kInForceGreen = 0x006400;
constexpr quint32 kUpcomingOrange = 0xD06000;
constexpr quint32 kPermanentBlue = 0x00008B;
constexpr quint32 kExpiredGrey = 0x808080;
constexpr quint32 kUnknownBlack = 0x000000;

QString bannerOf(ReportType type)
{
    switch (type) {
    case ReportType::Taf:
        return kTafBanner;
    case ReportType::Notam:
        return kNotamBanner;
    case ReportType::Metar:
        break;
    }
    return kMetarBanner;
}

DecodedReport begun(const QString& code, ReportType type, const QDateTime& fetchedUtc)
{
    DecodedReport report;
    report.code = code;
    report.type = type;
    report.banner = bannerOf(type);
    report.fetchedUtc = fetchedUtc;
    return report;
}

void markStale(DecodedReport& report, bool stale)
{
    report.stale = stale;
    report.bannerShown = stale;
    report.background = stale ? kStalePink : kWhite;
}

// The decoded file's observation line: "ob: LFPG 061930Z 31008KT ...".
QString observationLine(const QByteArray& contents)
{
    const QString text = QString::fromLatin1(contents);
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u"ob:"))
            return line.mid(3).trimmed().toString();
    }
    return {};
}

// The decoded file's second line gives the full date: "Dec 06, 2026 - 02:30 PM EST / 2026.12.06 1930 UTC".
QDateTime headerTime(const QByteArray& contents)
{
    static const QRegularExpression stamp(uR"((\d{4})\.(\d{2})\.(\d{2}) (\d{2})(\d{2}) UTC)"_s);
    const QRegularExpressionMatch match = stamp.match(QString::fromLatin1(contents.left(512)));
    if (!match.hasMatch())
        return {};
    const QDate date(match.capturedView(1).toInt(), match.capturedView(2).toInt(), match.capturedView(3).toInt());
    const QTime time(match.capturedView(4).toInt(), match.capturedView(5).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time, QTimeZone::utc());
}

// Two-digit fields of a group such as "061930" or "1512/1618"; -1 where they are not digits.
int field(QStringView group, qsizetype at)
{
    if (group.size() < at + 2 || !group.at(at).isDigit() || !group.at(at + 1).isDigit())
        return -1;
    return group.mid(at, 2).toInt();
}

// ReportTimes resolves a day of the month for every reader; an invalid time stands for none here.
QDateTime resolveDayTime(int day, int hour, int minute, const QDateTime& nearUtc)
{
    return ReportTimes::dayTimeNear(day, hour, minute, nearUtc).value_or(QDateTime());
}

QDateTime groupTime(QStringView group, const QDateTime& nearUtc)
{
    if (group.size() != 6)
        return {};
    return resolveDayTime(field(group, 0), field(group, 2), field(group, 4), nearUtc);
}

// "1512/1618" (day and hour of start and end) or the older "151218" (one day, start and end hours).
std::pair<QDateTime, QDateTime> validity(QStringView group, const QDateTime& nearUtc)
{
    if (group.size() == 9 && group.at(4) == u'/') {
        const QDateTime from = resolveDayTime(field(group, 0), field(group, 2), 0, nearUtc);
        return { from, from.isValid() ? resolveDayTime(field(group, 5), field(group, 7), 0, from) : QDateTime() };
    }
    if (group.size() == 6) {
        const QDateTime from = resolveDayTime(field(group, 0), field(group, 2), 0, nearUtc);
        QDateTime to = from.isValid() ? resolveDayTime(field(group, 0), field(group, 4), 0, from) : QDateTime();
        if (to.isValid() && to <= from)
            to = to.addDays(1);
        return { from, to };
    }
    return {};
}

bool isWebPage(const QByteArray& contents)
{
    const QByteArray start = contents.left(512).trimmed().toLower();
    return start.startsWith("<!doctype html") || start.startsWith("<html") || start.startsWith("<?xml")
        || start.startsWith("<head") || start.startsWith("<body");
}

quint32 stateColour(Notam::State state)
{
    switch (state) {
    case Notam::State::InForce:
        return kInForceGreen;
    case Notam::State::Upcoming:
        return kUpcomingOrange;
    case Notam::State::Permanent:
        return kPermanentBlue;
    case Notam::State::Expired:
        return kExpiredGrey;
    case Notam::State::Unknown:
        break;
    }
    return kUnknownBlack;
}

// The closing rule of the cut (Notam::cut) ends the block, not the NOTAM it was cut with.
const QString& closingRule()
{
    static const QString rule = QString(70, u'_') + u" (Fin)"_s;
    return rule;
}

QString withoutEndingBreaks(QString text)
{
    while (!text.isEmpty() && (text.back() == u'\n' || text.back() == u'\r'))
        text.chop(1);
    return text;
}

// The arranged NOTAMs as the report area holds them (CR LF breaks), with the looks of their status lines.
class NotamListing
{
public:
    void addLine(const QString& line, quint32 rgb)
    {
        const QString area = areaText(line);
        addSpan(m_spans, m_text.size() + area.size(), m_text.size(), area.size(), true, rgb);
        m_text += area + u"\r\n"_s;
    }

    // The NOTAM's text as cut, without the line breaks that ended it: the separator supplies its own.
    void addEntry(const Notam::Entry& entry, const QDateTime& nowUtc)
    {
        if (m_entries++ > 0)
            m_text += u"\r\n"_s + QString(70, u'_') + u"\r\n\r\n"_s;
        if (entry.item.icao)
            addLine(Notam::statusLine(entry.item, nowUtc, entry.aroundField), stateColour(entry.status.state));
        const QString& body = entry.item.text;
        m_text += areaText(withoutEndingBreaks(body.left(body.indexOf(closingRule()))));
    }

    void addBreak() { m_text += u"\r\n"_s; }
    void addText(const QString& text) { m_text += areaText(text); }
    void startSection() { m_entries = 0; }

    const QString& text() const { return m_text; }
    const StyleSpans& spans() const { return m_spans; }

private:
    QString m_text;
    StyleSpans m_spans;
    int m_entries = 0;
};

} // namespace

Failure::Cause checkReply(ReportType type, const QByteArray& contents)
{
    using Failure::Cause;
    if (contents.trimmed().isEmpty())
        return Cause::Empty;
    switch (type) {
    case ReportType::Metar: {
        if (isWebPage(contents))
            return Cause::Unexpected;
        // The service's decoded file ends with the cycle line; a line may begin with it only at the end.
        const qsizetype cycle = contents.lastIndexOf("\ncycle:");
        return cycle >= 0 && !contents.mid(cycle + 7).trimmed().isEmpty() ? Cause::None : Cause::Incomplete;
    }
    case ReportType::Taf: {
        if (isWebPage(contents))
            return Cause::Unexpected;
        qsizetype end = contents.size();
        while (end > 0 && (contents.at(end - 1) == ' ' || contents.at(end - 1) == '\t'))
            --end;
        return contents.at(end - 1) == '\n' || contents.at(end - 1) == '\r' ? Cause::None : Cause::Incomplete;
    }
    case ReportType::Notam:
        return contents.contains("</pre>") || contents.contains("</PRE>") ? Cause::None : Cause::Incomplete;
    }
    return Cause::None;
}

DecodedReport decodeMetar(const QString& code, const QByteArray& contents, const QDate& today,
    const QDateTime& fetchedUtc, const PilotLimits& limits)
{
    DecodedReport report = begun(code, ReportType::Metar, fetchedUtc);
    const QString text = WorkFile::reportText(contents);
    if (text.isEmpty()) {
        report.empty = true;
        return report;
    }
    report.received = observationLine(contents);
    report.observedUtc = headerTime(contents);
    if (!report.observedUtc.isValid()) {
        if (const std::optional<QString> group = Expiry::metarObservationGroup(text))
            report.observedUtc = groupTime(*group, fetchedUtc);
    }
    markStale(report, Expiry::isMetarOutOfDate(text, today) || Expiry::isMoreThanTwoDaysOld(report.observedUtc, today));
    const QString translated = Metar::translate(text);
    report.title = Metar::title(translated, code);
    report.text = areaText(translated);
    report.spans = Metar::styleSpans(report.text);
    report.pilot = Pilot::metarFacts(report.received, report.observedUtc, fetchedUtc, Stations::placeOf(code), limits);
    return report;
}

DecodedReport decodeTaf(
    const QString& code, const QByteArray& contents, const QDate& today, const QDateTime& fetchedUtc)
{
    DecodedReport report = begun(code, ReportType::Taf, fetchedUtc);
    const QString raw = WorkFile::reportText(contents);
    if (raw.isEmpty()) {
        report.empty = true;
        return report;
    }
    const Taf::TafReport taf = Taf::buildReport(raw, code, today);
    report.received = raw.trimmed();
    report.issuedUtc = groupTime(taf.issueTimeGroup, fetchedUtc);
    std::tie(report.validFromUtc, report.validToUtc)
        = validity(taf.validityGroup, report.issuedUtc.isValid() ? report.issuedUtc : fetchedUtc);
    markStale(report, taf.outOfDate || Expiry::isMoreThanTwoDaysOld(report.issuedUtc, today));
    report.title = taf.title;
    report.text = areaText(taf.reportText);
    report.spans = Taf::emphasisSpans(report.text);
    report.pilot = Pilot::tafFacts(
        report.issuedUtc, report.validFromUtc, report.validToUtc, fetchedUtc, Stations::placeOf(code));
    return report;
}

DecodedReport decodeNotams(
    const QString& code, const QByteArray& page, const QDateTime& fetchedUtc, std::optional<Notam::GeoPoint> aerodrome)
{
    DecodedReport report = begun(code, ReportType::Notam, fetchedUtc);
    report.title = kNotamTitle;
    const QString block = Notam::cut(WorkFile::decodePage(page), code);
    report.text = areaText(block);
    report.received = report.text;
    const std::optional<Stations::StationPlace> place = Stations::placeOf(code);
    report.pilot.sun = Pilot::sunAt(place, fetchedUtc);
    // An area NOTAM around the aerodrome is marked so: the page's own aerodrome unless one was given.
    if (!aerodrome && place)
        aerodrome = Notam::GeoPoint { place->latitudeDeg, place->longitudeDeg };

    const Notam::Briefing arranged = Notam::arrange(Notam::parseItems(block), fetchedUtc, aerodrome);
    report.notams = arranged.shown + arranged.expired;
    // Items the parser cannot date (the provider's one-line entries) keep the page's own order and look.
    const bool anyIcao = std::any_of(
        report.notams.cbegin(), report.notams.cend(), [](const Notam::Entry& entry) { return entry.item.icao; });
    if (!anyIcao)
        return report;

    NotamListing listing;
    for (const Notam::Entry& entry : arranged.shown)
        listing.addEntry(entry, fetchedUtc);
    if (!arranged.shown.isEmpty())
        listing.addBreak();
    for (const Notam::Entry& entry : report.notams) {
        if (const qsizetype rule = entry.item.text.indexOf(closingRule()); rule >= 0) {
            listing.addText(withoutEndingBreaks(entry.item.text.mid(rule)));
            listing.addBreak();
        }
    }
    if (!arranged.expired.isEmpty()) {
        report.expiredAt = listing.text().size();
        listing.addBreak();
        listing.addLine(Notam::expiredHeading(arranged.expired.size()), kExpiredGrey);
        listing.startSection();
        for (const Notam::Entry& entry : arranged.expired)
            listing.addEntry(entry, fetchedUtc);
        listing.addBreak();
    }
    report.text = listing.text();
    report.spans = listing.spans();
    return report;
}

DecodedReport failedReport(const QString& code, ReportType type, const Failure::Reason& reason, const QString& host)
{
    DecodedReport report = begun(code, type, QDateTime());
    report.failure = reason;
    if (report.failure.cause == Failure::Cause::None)
        report.failure.cause = Failure::Cause::Network;
    report.text = areaText(Failure::reportAreaText(report.failure, reportTypeName(type), code, host));
    if (type == ReportType::Notam) {
        report.title = kNotamTitle;
        // A pink "X": the NOTAMs of a station are never simply missing.
        report.bannerShown = true;
        report.background = kStalePink;
    }
    return report;
}

QString areaText(const QString& text)
{
    QString area;
    area.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case u'\r':
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            [[fallthrough]];
        case u'\n':
        case QChar::ParagraphSeparator:
        case QChar::LineSeparator:
            area.append(u"\r\n");
            break;
        case QChar::Nbsp:
            area.append(u' ');
            break;
        default:
            area.append(c);
        }
    }
    return area;
}

int documentPosition(const QString& areaText, qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, areaText.size());
    qsizetype pairs = 0;
    for (qsizetype i = 1; i < offset; ++i) {
        if (areaText.at(i) == u'\n' && areaText.at(i - 1) == u'\r')
            ++pairs;
    }
    return static_cast<int>(offset - pairs);
}

QList<TextRun> reportRuns(const DecodedReport& report, qreal defaultPoints)
{
    const QString& text = report.text;
    // One look per character of the area's document, where a CR LF is one line break.
    struct Look
    {
        quint32 rgb = 0;
        bool bold = false;
        qreal points = 0;
    };
    const int length = documentPosition(text, text.size());
    QList<Look> looks(length, Look { 0, false, defaultPoints });
    for (const StyleSpan& span : report.spans) {
        const int end = documentPosition(text, span.start + span.length);
        for (int at = documentPosition(text, span.start); at < end; ++at) {
            looks[at].rgb = span.rgb;
            looks[at].bold = span.bold;
            if (span.pointSize)
                looks[at].points = *span.pointSize;
        }
    }
    QList<TextRun> runs;
    int at = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++at) {
        const bool lineBreak = text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n';
        const QStringView piece = QStringView(text).mid(i, lineBreak ? 2 : 1);
        if (lineBreak)
            ++i;
        const Look& look = looks.at(at);
        if (!runs.isEmpty() && runs.last().rgb == look.rgb && runs.last().bold == look.bold
            && qFuzzyCompare(runs.last().pointSize, look.points)) {
            runs.last().text += piece;
        } else {
            runs.append(TextRun { piece.toString(), look.rgb, look.bold, look.points });
        }
    }
    return runs;
}

} // namespace Reports
