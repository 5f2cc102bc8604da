#include "briefing/BriefingDocument.h"

#include "briefing/TextLook.h"
#include "reports/Sources.h"
#include "stations/StationTable.h"

#include <QTextCursor>
#include <QTextDocument>

#include <utility>

using namespace Qt::StringLiterals;

namespace BriefingDocument {
namespace {

// The heading takes the colours of the panel's code, title and banner.
constexpr quint32 kHeadingBlue = 0x0000C0;
constexpr quint32 kBannerRed = 0xFF0000;
constexpr quint32 kBlack = 0x000000;
constexpr qreal kReportPoints = Reports::kReportPoints;

QTextCharFormat look(const TextRun& run)
{
    QTextCharFormat format;
    format.setForeground(TextLook::colour(run.rgb));
    format.setFontWeight(run.bold ? QFont::Bold : QFont::Normal);
    format.setFontPointSize(run.pointSize);
    return format;
}

bool isLineEnd(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

} // namespace

QString stationDescription(const Stations::StationTable& table, const QString& code)
{
    const std::optional<int> index = table.indexOfCode(code);
    return index ? table.country(*index) + u", "_s + table.city(*index) : QString();
}

QString title(const Briefing& briefing)
{
    return u"Bulletin %1 — %2"_s.arg(briefing.report.code, reportTypeName(briefing.report.type));
}

QList<Paragraph> paragraphs(const Briefing& briefing)
{
    QList<Paragraph> paragraphs;
    const DecodedReport& report = briefing.report;
    if (report.demo)
        paragraphs.append(Paragraph { TextRun { Reports::kDemoStrip, kBannerRed, true, 16 } });
    paragraphs.append(Paragraph {
        TextRun { briefing.description.isEmpty() ? report.code : report.code + u" — "_s + briefing.description,
            kHeadingBlue, true, 16 } });
    return paragraphs + reportParagraphs(report);
}

QList<Paragraph> reportParagraphs(const DecodedReport& report)
{
    QList<Paragraph> paragraphs;
    const auto heading = [&](const QString& text, quint32 rgb, bool bold, qreal points) {
        paragraphs.append(Paragraph { TextRun { text, rgb, bold, points } });
    };
    if (report.bannerShown && !report.banner.isEmpty())
        heading(report.banner, kBannerRed, true, 14);
    if (!report.title.isEmpty())
        heading(report.title, kHeadingBlue, true, 12);
    // What a pilot reads first, as the window shows it under the title.
    if (!report.pilot.line.isEmpty())
        heading(report.pilot.line, kBlack, false, 9);
    if (report.fetchedUtc.isValid()) {
        const QDateTime utc = report.fetchedUtc.toUTC();
        heading(
            u"Obtenu le %1 à %2 UTC"_s.arg(utc.toString(u"dd/MM/yyyy"_s), utc.toString(u"HH:mm"_s)), kBlack, false, 9);
    }
    if (!report.source.isEmpty())
        heading(u"Source : "_s + SourceAddress::forDisplay(report.source), kBlack, false, 9);
    heading(QString(), kBlack, false, 9);

    // The report's lines end in CR LF, and a run may hold several or end in the middle of one.
    const QList<TextRun> runs = Reports::reportRuns(report, kReportPoints);
    paragraphs.append(Paragraph());
    for (const TextRun& run : runs) {
        TextRun piece = run;
        if (piece.pointSize <= 0)
            piece.pointSize = kReportPoints;
        const QString& text = run.text;
        qsizetype start = 0;
        for (qsizetype i = 0; i <= text.size(); ++i) {
            if (i < text.size() && !isLineEnd(text.at(i)))
                continue;
            piece.text = text.mid(start, i - start);
            if (!piece.text.isEmpty() || paragraphs.last().isEmpty())
                paragraphs.last().append(piece);
            if (i < text.size()) {
                if (text.at(i) == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                    ++i;
                paragraphs.append(Paragraph());
            }
            start = i + 1;
        }
    }
    return paragraphs;
}

Document compose(const Briefing& briefing)
{
    return Document { title(briefing), paragraphs(briefing) };
}

std::unique_ptr<QTextDocument> build(const Briefing& briefing)
{
    return build(compose(briefing));
}

std::unique_ptr<QTextDocument> build(const Document& source)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(TextLook::sansFont(kReportPoints));
    document->setMetaInformation(QTextDocument::DocumentTitle, source.title);
    document->setUndoRedoEnabled(false);
    QTextCursor cursor(document.get());
    cursor.beginEditBlock();
    bool first = true;
    for (const Paragraph& paragraph : source.paragraphs) {
        // The first paragraph fills the block the empty document starts with.
        if (!std::exchange(first, false))
            cursor.insertBlock();
        for (const TextRun& run : paragraph)
            cursor.insertText(run.text, look(run));
    }
    cursor.endEditBlock();
    return document;
}

} // namespace BriefingDocument
