#include "stations/NameSearch.h"

#include <algorithm>
#include <array>
#include <memory>

namespace Stations {
namespace {

// Letters that no Unicode decomposition takes apart, as a French reader would type them.
struct Spelling
{
    char16_t letter;
    QStringView ascii;
};
constexpr std::array<Spelling, 10> kPlainSpellings { {
    { u'æ', u"ae" },
    { u'œ', u"oe" },
    { u'ø', u"o" },
    { u'ß', u"ss" },
    { u'ł', u"l" },
    { u'đ', u"d" },
    { u'ð', u"d" },
    { u'þ', u"th" },
    { u'ı', u"i" },
    { u'ħ', u"h" },
} };

// The word just ended at the end of @p folded, written short if it is "saint" or "sainte".
void shortenSaint(QString& folded)
{
    for (const QStringView word : { QStringView(u"saint"), QStringView(u"sainte") }) {
        const qsizetype start = folded.size() - word.size();
        if (folded.endsWith(word) && (start == 0 || folded.at(start - 1) == u' ')) {
            folded.remove(start + 1, 3); // "s[ain]t", "s[ain]te"
            return;
        }
    }
}

bool isCodeText(const QString& text)
{
    if (text.isEmpty() || text.size() > 4)
        return false;
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 128; });
}

} // namespace

QString foldForSearch(QStringView text)
{
    // Most names are plain ASCII already; only the others pay for the decomposition.
    const bool ascii = std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 128; });
    const QString decomposed
        = ascii ? QString() : text.toString().normalized(QString::NormalizationForm_D).toCaseFolded();
    const QStringView letters = ascii ? text : QStringView(decomposed);
    QString folded;
    folded.reserve(letters.size());
    bool inWord = false;
    for (const QChar c : letters) {
        if (c.isMark())
            continue;
        if (!c.isLetterOrNumber()) {
            if (inWord)
                shortenSaint(folded);
            inWord = false;
            continue;
        }
        if (!inWord && !folded.isEmpty())
            folded += u' ';
        inWord = true;
        if (c.unicode() < 128) {
            folded += c.toLower();
            continue;
        }
        const auto plain = std::find_if(kPlainSpellings.cbegin(), kPlainSpellings.cend(),
            [c](const Spelling& s) { return s.letter == c.unicode(); });
        if (plain != kPlainSpellings.cend())
            folded += plain->ascii;
        else
            folded += c; // already case-folded with the decomposition
    }
    if (inWord)
        shortenSaint(folded);
    return folded;
}

NameIndex::NameIndex(const StationTable& table, const StationGeography& geography)
{
    m_entries.reserve(table.count());
    QHash<QString, QString> foldedCountries; // a few hundred countries for thousands of stations
    for (int i = 0; i < table.count(); ++i) {
        // "CODE\Country\City", cut by hand: cheaper than three sections of each entry.
        const QString row = table.entry(i);
        const qsizetype first = row.indexOf(u'\\');
        const qsizetype second = first < 0 ? -1 : row.indexOf(u'\\', first + 1);
        const QString country = second < 0 ? QString() : row.mid(first + 1, second - first - 1);
        auto folded = foldedCountries.constFind(country);
        if (folded == foldedCountries.cend())
            folded = foldedCountries.insert(country, foldForSearch(country));
        const qsizetype third = second < 0 ? -1 : row.indexOf(u'\\', second + 1);
        const QString city = second < 0 ? QString() : row.mid(second + 1, third < 0 ? -1 : third - second - 1);
        Entry entry { first < 0 ? row : row.left(first), city, country, {}, {}, *folded, {}, {} };
        entry.aerodrome = geography.aerodromeOf(entry.code);
        entry.foldedCity = foldForSearch(entry.city);
        entry.foldedAerodrome = foldForSearch(entry.aerodrome);
        entry.foldedAll = entry.foldedCity + u' ' + entry.foldedCountry + u' ' + entry.foldedAerodrome + u' '
            + entry.code.toLower();
        m_entries.append(std::move(entry));
    }
}

QList<SearchHit> NameIndex::search(const QString& text) const
{
    const QString query = foldForSearch(text);
    if (query.isEmpty())
        return {};
    const QString codeQuery = text.trimmed().toUpper();
    const bool mayBeCode = isCodeText(codeQuery);
    const QList<QStringView> words = QStringView(query).split(u' ');

    std::array<QList<SearchHit>, 3> groups;
    for (const Entry& entry : m_entries) {
        MatchKind match;
        if (mayBeCode && entry.code.startsWith(codeQuery))
            match = MatchKind::Code;
        else if (entry.foldedCity.startsWith(query) || entry.foldedAerodrome.startsWith(query)
            || entry.foldedCountry.startsWith(query))
            match = MatchKind::NameStart;
        else if (std::all_of(words.cbegin(), words.cend(), [&](QStringView w) { return entry.foldedAll.contains(w); }))
            match = MatchKind::Elsewhere;
        else
            continue;
        groups[static_cast<size_t>(match)].append(
            SearchHit { entry.code, entry.city, entry.country, entry.aerodrome, match });
    }
    QList<SearchHit> hits = groups[0];
    hits += groups[1];
    hits += groups[2];
    return hits;
}

QList<SearchHit> searchByName(const StationTable& table, const QString& text)
{
    // One index per thread, rebuilt for a table of another fill: every fill has a stamp of its own.
    thread_local std::unique_ptr<NameIndex> index;
    thread_local quint64 indexedStamp = 0;
    if (!index || indexedStamp != table.contentStamp()) {
        index = std::make_unique<NameIndex>(table);
        indexedStamp = table.contentStamp();
    }
    return index->search(text);
}

} // namespace Stations
