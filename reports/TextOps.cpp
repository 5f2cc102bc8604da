#include "reports/TextOps.h"

namespace TextOps {

qsizetype Find(const QString& text, QStringView what, qsizetype from)
{
    if (from < 1)
        from = 1;
    if (from > text.size() + 1)
        return 0;
    const qsizetype index = text.indexOf(what, from - 1);
    return index < 0 ? 0 : index + 1;
}

QString Mid(const QString& text, qsizetype start, qsizetype length)
{
    if (start < 1 || length <= 0 || start > text.size())
        return {};
    return text.mid(start - 1, length);
}

int LeadingNumber(QStringView text)
{
    // Saturate instead of overflowing: a run of digits longer than any real group is not a day or a speed.
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            break;
        value = std::min<qint64>(value * 10 + (c.unicode() - u'0'), 999999999);
    }
    return static_cast<int>(value);
}

void ReplaceAll(QString& text, QStringView find, QStringView replaceWith)
{
    if (find.isEmpty())
        return;
    text.replace(find.toString(), replaceWith.toString(), Qt::CaseSensitive);
}

} // namespace TextOps
