#include "reports/ReportArea.h"

#include "reports/DecodedReport.h"

#include <QFontMetricsF>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace ReportArea {

QString readBack(const QTextEdit* area)
{
    QString text = area->document()->toPlainText();
    text.replace(u'\n', u"\r\n"_s);
    return text;
}

void apply(QTextEdit* area, const StyleSpans& spans)
{
    if (spans.isEmpty())
        return;
    const QString text = readBack(area);
    QTextCursor cursor(area->document());
    for (const StyleSpan& span : spans) {
        cursor.setPosition(Reports::documentPosition(text, span.start));
        cursor.setPosition(Reports::documentPosition(text, span.start + span.length), QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setFontWeight(span.bold ? QFont::Bold : QFont::Normal);
        format.setForeground(QColor(span.rgb));
        if (span.pointSize)
            format.setFontPointSize(*span.pointSize);
        cursor.mergeCharFormat(format);
    }
}

namespace {

const QString kRule(70, u'_');

// The width a line may take: the viewport's, less the vertical scroll bar's when it is not shown yet, so
// that the bar a long report brings never makes a line wrap.
qreal lineRoom(const QTextEdit* area)
{
    const QScrollBar* bar = area->verticalScrollBar();
    const int barWidth = bar->isVisible() ? 0 : bar->sizeHint().width();
    // A few pixels short of the edge: the layout rounds each character's advance on its own.
    return area->viewport()->width() - barWidth - 2 * area->document()->documentMargin() - 4;
}

Run runOf(const QString& text, const QTextCharFormat& format, qreal defaultSize)
{
    Run run;
    run.text = text;
    run.rgb = format.hasProperty(QTextFormat::ForegroundBrush) ? (format.foreground().color().rgb() & 0xFFFFFFu) : 0;
    run.bold = format.fontWeight() >= QFont::Bold;
    run.pointSize = format.fontPointSize() > 0 ? format.fontPointSize() : defaultSize;
    return run;
}

void append(QList<Run>& runs, Run run)
{
    if (run.text.isEmpty())
        return;
    if (!runs.isEmpty()) {
        Run& last = runs.last();
        if (last.rgb == run.rgb && last.bold == run.bold && qFuzzyCompare(last.pointSize, run.pointSize)) {
            last.text += run.text;
            return;
        }
    }
    runs.append(std::move(run));
}

} // namespace

void fitRuleLines(QTextEdit* area)
{
    QTextDocument* document = area->document();
    const qreal room = lineRoom(area);
    QTextCursor cursor(document);
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        if (!block.text().startsWith(kRule))
            continue;
        cursor.setPosition(block.position());
        cursor.setPosition(block.position() + static_cast<int>(kRule.size()), QTextCursor::KeepAnchor);
        const QFontMetricsF metrics(cursor.charFormat().font().resolve(document->defaultFont()));
        const qreal tail = metrics.horizontalAdvance(block.text().mid(kRule.size()));
        QTextCharFormat fitted;
        fitted.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        fitted.setFontLetterSpacing((room - tail) / kRule.size() - metrics.horizontalAdvance(u'_'));
        cursor.mergeCharFormat(fitted);
    }
}

QList<Run> runs(const QTextEdit* area)
{
    QList<Run> runs;
    const QTextDocument* document = area->document();
    const qreal defaultSize = document->defaultFont().pointSizeF();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid())
                append(runs, runOf(fragment.text(), fragment.charFormat(), defaultSize));
        }
        // The line break closing this block carries the format that the next block reports as its own.
        if (block.next().isValid())
            append(runs, runOf(u"\r\n"_s, block.next().charFormat(), defaultSize));
    }
    return runs;
}

} // namespace ReportArea
