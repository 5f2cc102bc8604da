#include "reports/TextOps.h"

namespace TextOps {

int leadingNumber(QStringView text)
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

namespace {

// Where the next occurrence of @p find starts, from @p from on; -1 when there is none. Short codes are
// found by a vectorised scan for their first character, longer texts by the library's substring search.
qsizetype nextMatch(QStringView source, QStringView find, qsizetype from)
{
    if (find.size() > 3)
        return source.indexOf(find, from);
    const QChar first = find.front();
    const QStringView rest = find.mid(1);
    for (qsizetype at = source.indexOf(first, from); at >= 0 && at + find.size() <= source.size();
         at = source.indexOf(first, at + 1)) {
        if (source.mid(at + 1, rest.size()) == rest)
            return at;
    }
    return -1;
}

} // namespace

void replaceAll(QString& text, QStringView find, QStringView replaceWith)
{
    if (find.isEmpty() || text.size() < find.size())
        return;
    // Most rows of a table find nothing: the text is copied only when something is replaced.
    const QStringView source(text);
    qsizetype at = nextMatch(source, find, 0);
    if (at < 0)
        return;
    QString result;
    result.reserve(text.size() + std::max<qsizetype>(0, replaceWith.size() - find.size()) * 16);
    qsizetype copied = 0;
    for (; at >= 0; at = nextMatch(source, find, copied)) {
        result.append(source.mid(copied, at - copied));
        result.append(replaceWith);
        copied = at + find.size();
    }
    result.append(source.mid(copied));
    text = std::move(result);
}

} // namespace TextOps
