#include "briefing/BriefingDocument.h"

#include "briefing/TextLook.h"
#include "stations/StationTable.h"

#include <QTextCursor>
#include <QTextDocument>

namespace BriefingDocument {
namespace {

// The heading takes the colours of the panel's code, title and banner.
constexpr quint32 kHeadingBlue = 0x0000C0;
constexpr quint32 kBannerRed = 0xFF0000;
constexpr quint32 kBlack = 0x000000;

QTextCharFormat look(quint32 rgb, bool bold, qreal points)
{
    QTextCharFormat format;
    format.setForeground(TextLook::colour(rgb));
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    format.setFontPointSize(points);
    return format;
}

// One paragraph per call, the first one filling the block the empty document starts with.
void addLine(QTextCursor& cursor, const QString& text, const QTextCharFormat& format)
{
    if (!cursor.atStart())
        cursor.insertBlock();
    cursor.insertText(text, format);
}

} // namespace

QString StationDescription(const Stations::StationTable& table, const QString& code)
{
    const int index = table.indexOfCode(code);
    return index == 0 ? QString() : table.country(index) + u", "_qs + table.city(index);
}

QString Title(const Briefing& briefing)
{
    return u"Bulletin %1 — %2"_qs.arg(briefing.report.code, reportTypeName(briefing.report.type));
}

std::unique_ptr<QTextDocument> Build(const Briefing& briefing)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(TextLook::sansFont(Reports::kReportPoints));
    document->setMetaInformation(QTextDocument::DocumentTitle, Title(briefing));
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document.get());
    cursor.beginEditBlock();

    const DecodedReport& report = briefing.report;
    const QString station
        = briefing.description.isEmpty() ? report.code : report.code + u" — "_qs + briefing.description;
    addLine(cursor, station, look(kHeadingBlue, true, 16));
    if (report.bannerShown && !report.banner.isEmpty())
        addLine(cursor, report.banner, look(kBannerRed, true, 14));
    if (!report.title.isEmpty())
        addLine(cursor, report.title, look(kHeadingBlue, true, 12));
    const QTextCharFormat detail = look(kBlack, false, 9);
    // What a pilot reads first, as the window shows it under the title.
    if (!report.pilot.line.isEmpty())
        addLine(cursor, report.pilot.line, detail);
    if (report.fetchedUtc.isValid()) {
        const QDateTime utc = report.fetchedUtc.toUTC();
        addLine(
            cursor, u"Obtenu le %1 à %2 UTC"_qs.arg(utc.toString(u"dd/MM/yyyy"_qs), utc.toString(u"HH:mm"_qs)), detail);
    }
    if (!report.source.isEmpty())
        addLine(cursor, u"Source : "_qs + report.source, detail);
    addLine(cursor, QString(), detail);

    // The runs carry the report's line breaks as CR LF; insertText makes a paragraph of every LF.
    cursor.insertBlock();
    const QList<TextRun> runs = Reports::reportRuns(report, Reports::kReportPoints);
    for (const TextRun& run : runs) {
        QString text = run.text;
        text.replace(u"\r\n"_qs, u"\n"_qs);
        cursor.insertText(text, look(run.rgb, run.bold, run.pointSize > 0 ? run.pointSize : Reports::kReportPoints));
    }
    cursor.endEditBlock();
    return document;
}

} // namespace BriefingDocument
