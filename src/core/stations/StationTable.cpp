#include "stations/StationTable.h"

#include "stations/EmbeddedData.h"

#include <QSet>

#include <atomic>

using namespace Qt::StringLiterals;

namespace Stations {
namespace {

// Each entry holds exactly two separators; a malformed one simply yields empty parts. Found by hand rather
// than by QString::section(), which splits the whole entry each time: the table is filled at every start.
QString part(const QString& entry, int which)
{
    qsizetype from = 0;
    for (int i = 0; i < which; ++i) {
        from = entry.indexOf(u'\\', from);
        if (from < 0)
            return {};
        ++from;
    }
    const qsizetype to = entry.indexOf(u'\\', from);
    return entry.mid(from, to < 0 ? -1 : to - from);
}

} // namespace

void StationTable::fill(const QString& entriesText)
{
    m_dueFill = nullptr;
    fillNow(entriesText);
}

void StationTable::fillOnFirstUse(std::function<QString()> entriesText)
{
    m_entries.clear();
    m_byCode.clear();
    m_dueFill = std::move(entriesText);
}

void StationTable::fillIfDue() const
{
    if (m_dueFill)
        fillNow(std::exchange(m_dueFill, nullptr)());
}

void StationTable::fillNow(const QString& entriesText) const
{
    static std::atomic<quint64> fills { 0 };
    m_stamp = ++fills;
    m_entries.clear();
    m_byCode.clear();
    const QStringList lines = entriesText.split(u'\n');
    // Grown to its size at once: rehashing as the shipped table comes in costs more than the inserts.
    const qsizetype most = std::min<qsizetype>(lines.size(), kCapacity);
    m_entries.reserve(most);
    m_byCode.reserve(most);
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        if (m_entries.size() >= kCapacity)
            break;
        // The last entry of a code wins, as a full walk of the table would find it last.
        m_byCode.insert(part(line, 0), static_cast<int>(m_entries.size()));
        m_entries.append(line);
    }
}

QString StationTable::entry(int index) const
{
    fillIfDue();
    if (index < 0 || index >= m_entries.size())
        return {};
    return m_entries.at(index);
}

std::optional<int> StationTable::indexOfCode(const QString& code) const
{
    fillIfDue();
    const auto found = m_byCode.constFind(code);
    if (found == m_byCode.cend())
        return std::nullopt;
    return *found;
}

QString StationTable::code(int index) const
{
    return part(entry(index), 0);
}

QString StationTable::country(int index) const
{
    return part(entry(index), 1);
}

QString StationTable::city(int index) const
{
    return part(entry(index), 2);
}

std::optional<QString> describe(const StationTable& table, const QString& code)
{
    const std::optional<int> index = table.indexOfCode(code);
    if (!index)
        return std::nullopt;
    return table.city(*index) + u" ("_s + table.country(*index) + u')';
}

QStringList countries(const StationTable& table)
{
    QStringList countries;
    std::optional<QString> previous;
    for (int i = 0; i < table.count(); ++i) {
        const QString country = table.country(i);
        if (!previous || *previous != country)
            countries.append(country);
        previous = country;
    }
    return countries;
}

QStringList citiesOf(const StationTable& table, const QString& country)
{
    // A city with three airports is one choice; its codes come after it is chosen.
    QStringList cities;
    QSet<QString> listed;
    for (int i = 0; i < table.count(); ++i) {
        if (table.country(i) == country && !listed.contains(table.city(i))) {
            listed.insert(table.city(i));
            cities.append(table.city(i));
        }
    }
    return cities;
}

QStringList codesOf(const StationTable& table, const QString& country, const QString& city)
{
    QStringList codes;
    for (int i = 0; i < table.count(); ++i) {
        if (table.country(i) == country && table.city(i) == city)
            codes.append(table.code(i));
    }
    return codes;
}

QStringList searchCodes(const QStringList& firstList, const QStringList& secondList, const QString& query)
{
    QStringList found;
    for (const QStringList* list : { &firstList, &secondList }) {
        for (const QString& code : *list) {
            if (code.contains(query, Qt::CaseSensitive))
                found.append(code);
        }
    }
    return found;
}

static QString readResource(const QString& path)
{
    return QString::fromLatin1(embeddedBytes(path));
}

StationData loadEmbeddedData()
{
    return StationData { readResource(u":/data/stations.txt"_s), loadEmbeddedCodes(CodeHalf::AToK),
        loadEmbeddedCodes(CodeHalf::LToZ) };
}

EmbeddedCodes::EmbeddedCodes(CodeHalf half)
{
    m_text = embeddedBytes(half == CodeHalf::AToK ? u":/data/codes-a-k.txt"_s : u":/data/codes-l-z.txt"_s);
    const auto isSpace = [](char c) { return QChar::isSpace(static_cast<uchar>(c)); };
    m_lines.reserve(m_text.count('\n') + 1);
    qsizetype start = 0;
    while (start < m_text.size()) {
        qsizetype end = m_text.indexOf('\n', start);
        if (end < 0)
            end = m_text.size();
        qsizetype first = start;
        qsizetype last = end;
        while (first < last && isSpace(m_text.at(first)))
            ++first;
        while (last > first && isSpace(m_text.at(last - 1)))
            --last;
        if (last > first)
            m_lines.append({ static_cast<qint32>(first), static_cast<qint32>(last - first) });
        start = end + 1;
    }
}

QString EmbeddedCodes::at(qsizetype index) const
{
    const auto [start, length] = m_lines.at(index);
    return QString::fromLatin1(m_text.constData() + start, length);
}

QStringList EmbeddedCodes::toList() const
{
    QStringList codes;
    codes.reserve(count());
    for (qsizetype i = 0; i < count(); ++i)
        codes.append(at(i));
    return codes;
}

QStringList loadEmbeddedCodes(CodeHalf half)
{
    return EmbeddedCodes(half).toList();
}

void fillFromEmbeddedData(StationTable& table)
{
    table.fill(readResource(u":/data/stations.txt"_s));
}

void fillWithEmbeddedStation(StationTable& table, const QString& code)
{
    // A one-shot report names one station: reading the thousands of others took longer than its download.
    const QString text = readResource(u":/data/stations.txt"_s);
    const QString start = code + u'\\';
    QStringView found;
    for (QStringView line : QStringView(text).tokenize(u'\n')) {
        if (line.startsWith(start))
            found = line; // the last entry of a code wins, as in the whole table
    }
    table.fill(found.toString());
}

void fillFromEmbeddedDataOnFirstUse(StationTable& table)
{
    table.fillOnFirstUse([] { return readResource(u":/data/stations.txt"_s); });
}

} // namespace Stations
