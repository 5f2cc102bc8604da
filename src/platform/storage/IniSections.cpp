#include "storage/IniSections.h"

#include <QDir>
#include <QSettings>

#include <utility>

using namespace Qt::StringLiterals;

namespace IniSections {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Where each section of @p data begins (its "["), read as QSettings reads lines: a line starts at its
// first character that is not blank, a quoted stretch or an escaped line end carries it over the line
// end, and ";" outside quotes comments out the rest of the line. @p openQuote tells whether the data ends
// inside a quote, which swallows whatever is appended after it.
QList<qsizetype> sectionStarts(QByteArrayView data, bool* openQuote = nullptr)
{
    QList<qsizetype> starts;
    bool quoted = false;
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
        for (quoted = false; i < n; ++i) {
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
    if (openQuote)
        *openQuote = quoted;
    return starts;
}

// The group a section written as @p section ("[name]..." up to the next section) holds; "" for [General].
// Without "]" on its first line QSettings names it after the rest of that line, and reports the file damaged.
Section sectionAt(QByteArrayView data, qsizetype begin, qsizetype end)
{
    const QByteArrayView section = data.sliced(begin, end - begin);
    qsizetype lineEnd = 0;
    while (lineEnd < section.size() && section[lineEnd] != '\n' && section[lineEnd] != '\r')
        ++lineEnd;
    const qsizetype close = section.first(lineEnd).indexOf(']');
    const QByteArrayView name = section.sliced(1, (close < 0 ? lineEnd : close) - 1);
    QString group = QString::fromUtf8(name).trimmed();
    if (group.compare(u"general", Qt::CaseInsensitive) == 0)
        group.clear();
    return Section { group, begin, end, close >= 0 };
}

} // namespace

QString groupOfKey(const QString& key)
{
    return key.contains(u'/') ? key.section(u'/', 0, 0) : QString();
}

QList<Section> split(QByteArrayView data)
{
    const QList<qsizetype> starts = sectionStarts(data);
    QList<Section> parts;
    const qsizetype first = data.startsWith("\xef\xbb\xbf") ? 3 : 0;
    const qsizetype firstSection = starts.isEmpty() ? data.size() : starts.first();
    if (firstSection > first)
        parts.append(Section { QString(), first, firstSection, true });
    for (qsizetype k = 0; k < starts.size(); ++k)
        parts.append(sectionAt(data, starts.at(k), k + 1 < starts.size() ? starts.at(k + 1) : data.size()));
    return parts;
}

QByteArray readable(const QByteArray& data)
{
    QByteArray readable;
    for (const Section& part : split(data)) {
        if (part.headerClosed)
            readable += QByteArrayView(data).sliced(part.begin, part.end - part.begin);
    }
    return readable;
}

QByteArray composeFile(
    const QByteArray& original, const QSet<QString>& writtenGroups, const QByteArray& rewritten, Placement placement)
{
    const QByteArray mark = original.startsWith("\xef\xbb\xbf") ? QByteArray("\xef\xbb\xbf") : QByteArray();
    QByteArray file = mark;
    const auto append = [&](QByteArrayView part) {
        if (file.size() > mark.size() && !file.endsWith('\n') && !file.endsWith('\r'))
            file += '\n';
        file += part;
    };
    bool placed = placement == Placement::First;
    if (placed)
        append(rewritten);
    bool openQuote = false;
    sectionStarts(original, &openQuote);
    const QList<Section> parts = split(original);
    for (const Section& part : parts) {
        // A quote never closed swallows what comes after it: what we write goes before.
        if (openQuote && !placed && &part == &parts.last()) {
            append(rewritten);
            placed = true;
        }
        const QByteArrayView bytes = QByteArrayView(original).sliced(part.begin, part.end - part.begin);
        const bool written = part.headerClosed && writtenGroups.contains(part.group);
        // Lines that came before any section would fall into the last group written before them.
        const bool beforeAnySection = !bytes.startsWith('[');
        if (!written && placed && beforeAnySection && !bytes.trimmed().isEmpty())
            append("[General]\n");
        if (!written)
            append(bytes);
        else if (!std::exchange(placed, true))
            append(rewritten);
    }
    if (!placed)
        append(rewritten);
    return file;
}

ParsedFile::ParsedFile(const QByteArray& bytes)
    : m_copy(QDir::tempPath() + u"/ventorix-settings-XXXXXX.ini"_s)
{
    const QByteArray kept = readable(bytes);
    if (m_copy.open() && m_copy.write(kept) == kept.size() && m_copy.flush()) {
        m_settings = std::make_unique<QSettings>(m_copy.fileName(), QSettings::IniFormat);
        // Parsed whole now: QSettings parses a group when a key of it is first asked for, and looks it up by
        // name in a way that a group named "Fav/" hides the group "Fav" from.
        m_settings->allKeys();
    }
}

ParsedFile::~ParsedFile() = default;

QVariant ParsedFile::value(const QString& key) const
{
    return m_settings ? m_settings->value(key) : QVariant();
}

QStringList ParsedFile::keys(const QSet<QString>& groups) const
{
    QStringList keys;
    for (const QString& key : m_settings ? m_settings->allKeys() : QStringList()) {
        if (groups.isEmpty() || groups.contains(groupOfKey(key)))
            keys.append(key);
    }
    return keys;
}

} // namespace IniSections
