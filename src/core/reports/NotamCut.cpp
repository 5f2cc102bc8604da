#include "reports/NotamCut.h"

#include "reports/TextOps.h"

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

} // namespace

QString CutNotams(const QString& pageText, const QString& code)
{
    using TextOps::Find;
    using TextOps::ReplaceAll;

    // Without the start marker the cut starts where it would for a marker at position 0.
    const qsizetype start = Find(pageText, kStartMarker) + kStartMarker.size();
    const qsizetype end = Find(pageText, kEndMarker, start);
    QString text = end > 0 ? pageText.mid(start - 1, end - start) : pageText;
    text = dropLeadingBlanks(text);

    // The line break before a NOTAM becomes the separator line; the first NOTAM has none and gets none.
    // An empty code begins no NOTAM, and would put a separator at every line break.
    if (!code.isEmpty()) {
        const QString marked = kSeparator + u"\n\n"_qs + code;
        ReplaceAll(text, QString(u"\r\n"_qs + code), marked);
        // The page may write a "K" code without its K; the K in front of the text restores the first.
        if (code.startsWith(u'K')) {
            ReplaceAll(text, QString(u"\r\n"_qs + code.mid(1)), marked);
            text.prepend(u'K');
        }
    }

    // A longer run of hyphens keeps its excess after the tag.
    ReplaceAll(text, kRuleLine, QString(kSeparator + u" (Fin)"_qs));
    return text;
}

} // namespace Notam
