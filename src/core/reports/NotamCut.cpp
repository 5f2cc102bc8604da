#include "reports/NotamCut.h"

#include "reports/TextOps.h"

using namespace Qt::StringLiterals;

namespace Notam {
namespace {

constexpr QStringView kStartMarker = u"(NOTAMS)";
constexpr QStringView kEndMarker = u"</pre>";
constexpr qsizetype kLeadingBlankLimit = 100;

const QString kSeparator(70, u'_');
const QString kRuleLine(75, u'-');

// Up to the limit, anything at or below the blank (line ends, tabs) is dropped; a text that is still
// blank there is dropped in full up to the limit.
QString dropLeadingBlanks(const QString& text)
{
    const qsizetype scan = std::min(text.size(), kLeadingBlankLimit);
    for (qsizetype i = 0; i < scan; ++i) {
        if (text.at(i).unicode() > 32)
            return text.mid(i);
    }
    return text.mid(kLeadingBlankLimit);
}

// Puts the separator line, then the code @p code, in place of every CR LF followed by @p opening. A CR LF
// that ends a line of text stays: the separator then stands on a line of its own instead of running on
// from the NOTAM before it. After a blank line the CR LF is taken, so the usual page gets one blank line.
void markNotamStarts(QString& text, QStringView opening, const QString& code)
{
    // A code of one "K" has no form without it.
    if (opening.isEmpty())
        return;
    const QString found = u"\r\n"_s + opening.toString();
    qsizetype at = text.indexOf(found);
    if (at < 0)
        return;
    const QString marked = kSeparator + u"\n\n"_s + code;
    QString result;
    result.reserve(text.size() + 16 * marked.size());
    qsizetype copied = 0;
    for (; at >= 0; at = text.indexOf(found, copied)) {
        result += QStringView(text).mid(copied, at - copied);
        if (at > 0 && text.at(at - 1) != u'\n')
            result += u"\r\n"_s;
        result += marked;
        copied = at + found.size();
    }
    result += QStringView(text).mid(copied);
    text = std::move(result);
}

} // namespace

QString cut(const QString& pageText, const QString& code)
{
    using TextOps::replaceAll;

    // Without the start marker the cut starts one character short of where a marker opening the page
    // would have it start.
    const qsizetype start = pageText.indexOf(kStartMarker) + kStartMarker.size();
    const qsizetype end = pageText.indexOf(kEndMarker, start);
    QString text = end >= 0 ? pageText.mid(start, end - start) : pageText;
    text = dropLeadingBlanks(text);

    // A separator line opens every NOTAM but the first, which has no line break before it.
    // An empty code begins no NOTAM, and would put a separator at every line break.
    if (!code.isEmpty()) {
        markNotamStarts(text, code, code);
        // The page may write a "K" code without its K; the K in front of the text restores the first.
        if (code.startsWith(u'K')) {
            markNotamStarts(text, QStringView(code).mid(1), code);
            text.prepend(u'K');
        }
    }

    // A longer run of hyphens keeps its excess after the tag.
    replaceAll(text, kRuleLine, QString(kSeparator + u" (Fin)"_s));
    return text;
}

} // namespace Notam
