#include "storage/IniSections.h"

#include <utility>

namespace IniSections {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Where each section of @p data begins (its "["), read as QSettings reads lines: a line starts at its
// first character that is not blank, a quoted stretch or an escaped line end carries it over the line
// end, and ";" outside quotes comments out the rest of the line.
QList<qsizetype> sectionStarts(QByteArrayView data)
{
    QList<qsizetype> starts;
    const qsizetype n = data.size();
    const auto skipComment = [&](qsizetype& i) {
        while (i < n && data[i] != '\n' && data[i] != '\r')
            ++i;
    };
    qsizetype i = data.startsWith("\xef\xbb\xbf") ? 3 : 0;
    while (i < n) {
        while (i < n && isBlank(data[i]))
            ++i;
        if (i < n && data[i] == '[')
            starts.append(i);
        for (bool quoted = false; i < n; ++i) {
            const char c = data[i];
            if (c == '"') {
                quoted = !quoted;
            } else if (c == '\\' && i + 1 < n) {
                ++i;
                const QByteArrayView pair = data.sliced(i, std::min<qsizetype>(2, n - i));
                if (pair == "\r\n" || pair == "\n\r")
                    ++i;
            } else if (!quoted && (c == '\n' || c == '\r')) {
                break;
            } else if (!quoted && c == ';') {
                skipComment(i);
                break;
            }
        }
    }
    return starts;
}

// The group a section written as @p section ("[name]..." up to the next section) holds; "" for [General].
QString groupOfSection(QByteArrayView section)
{
    const qsizetype close = section.indexOf(']');
    const QString name = QString::fromUtf8(section.sliced(1, std::max<qsizetype>(close - 1, 0))).trimmed();
    return name.compare(u"general", Qt::CaseInsensitive) == 0 ? QString() : name;
}

} // namespace

QString GroupOfKey(const QString& key)
{
    return key.contains(u'/') ? key.section(u'/', 0, 0) : QString();
}

QByteArray ComposeFile(const QByteArray& original, const QSet<QString>& writtenGroups, const QByteArray& rewritten)
{
    const QList<qsizetype> starts = sectionStarts(original);
    QByteArray file = original.first(starts.isEmpty() ? original.size() : starts.first());
    bool placed = false;
    const auto append = [&file](QByteArrayView part) {
        if (!file.isEmpty() && !file.endsWith('\n') && !file.endsWith('\r'))
            file += '\n';
        file += part;
    };
    for (qsizetype k = 0; k < starts.size(); ++k) {
        const qsizetype end = k + 1 < starts.size() ? starts.at(k + 1) : original.size();
        const QByteArrayView section = QByteArrayView(original).sliced(starts.at(k), end - starts.at(k));
        if (!writtenGroups.contains(groupOfSection(section)))
            append(section);
        else if (!std::exchange(placed, true))
            append(rewritten);
    }
    if (!placed)
        append(rewritten);
    return file;
}

} // namespace IniSections
