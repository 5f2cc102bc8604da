#include "reports/TafDecoder.h"

#include "reports/Expiry.h"
#include "reports/TextOps.h"

#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace Taf {
namespace {

using TextOps::leadingNumber;
using TextOps::replaceAll;

struct Replacement
{
    QStringView find;
    QStringView replaceWith;
    QStringView guard; ///< row skipped for a station code containing it, so the code opening the text survives
};

// Applied top to bottom over the whole text. A code comes before every shorter code it contains, and
// precipitation before its descriptor, so that "-SHRA" has become "-SHPluie" when the "-SH" row runs.
const std::array<Replacement, 53> kTafReplacements { {
    { u"TEMPO", u"Temporairement", {} },
    { u"BECMG", u"Devenant", {} },
    { u"GRADU", u"Progressivement", {} }, // before GR, RA and DU
    { u"NOSIG", u" Aucun changement significatif dans les deux heures à venir.", {} },
    { u"NSW", u" Pas de temps significatif prévu.", {} },
    { u"BKN", u"Nuages fragmentés ", {} },
    { u"SCT", u"Nuages épars ", {} },
    { u"FEW", u"Quelques nuages ", {} },
    { u"OVC", u"Ciel couvert ", {} },
    { u"NSC", u"Pas de nuages ", {} },
    { u"P6SM", u"9999", {} }, // finished by the last row
    { u"CB", u" Cumulonimbus.", u"CB" },
    { u"-FG", u"Léger Brouillard.", u"FG" },
    { u"FG", u"Brouillard.", u"FG" },
    { u"-BR", u"Légère Brume.", u"BR" },
    { u"BR", u"Brume.", u"BR" },
    { u"FU", u"Fumée.", u"FU" },
    { u"VA", u"Cendres.", u"VA" },
    { u"DU", u"Poussières.", u"DU" },
    { u"SA", u"Sable.", u"SA" },
    { u"HZ", u"Brume sèche.", u"HZ" },
    { u"-DZ", u"Legère Bruine.", u"DZ" },
    { u"DZ", u"Bruine.", u"DZ" },
    { u"DRSN", u"Neige soufflée.", u"DRSN" }, // before SN
    { u"BLSN", u"Neige soufflée.", u"BLSN" },
    { u"+RA", u"Forte pluie", {} },
    { u"-RA", u"Faible pluie", {} },
    { u"RA", u"Pluie", u"RA" },
    { u"-SN", u"Faible Neige", {} },
    { u"+SN", u"Forte Neige", {} },
    { u"SN", u"Neige", u"SN" },
    { u"-SH", u"Faible Averse de ", u"SH" },
    { u"+SH", u"Forte Averse de ", u"SH" },
    { u"SH", u"Averse de ", u"SH" },
    { u"TS", u"Orage", u"TS" },
    { u"FZ", u"Givre ", u"FZ" },
    { u"SG", u"Neige en grains", u"SG" },
    { u"IC", u"Glace", u"IC" },
    { u"GR", u"Grêle", u"GR" },
    { u"GS", u"Grésil", u"GS" },
    { u"TCU", u" Cumulus Congestus", u"TCU" },
    // A thunderstorm's precipitation was written before the TS row ran, right against it.
    { u"OragePluie", u"Orage avec pluie", {} },
    { u"OrageNeige", u"Orage avec neige", {} },
    { u"OrageGrêle", u"Orage avec grêle", {} },
    { u"OrageGrésil", u"Orage avec grésil", {} },
    { u"PROB30", u"\r\nProbabilité 30%", {} },
    { u"PROB40", u"\r\nProbabilité 40%", {} },
    { u"PROB50", u"\r\nProbabilité 50%", {} },
    { u"PROB60", u"\r\nProbabilité 60%", {} },
    { u"PROB70", u"\r\nProbabilité 70%", {} },
    { u"PROB80", u"\r\nProbabilité 80%", {} },
    { u"Vent du VRB", u"Vent variable ", {} }, // the wind phrase of a variable direction
    { u"9999", u"Visi sup à 10Km. ", {} },
} };

constexpr qsizetype kDecodedLimit = 64 * 1024;
// Decoding costs a pass over the text per distinct group: (distinct groups) x (length) is held under this,
// which no forecast comes near (a 2 KB forecast of 400 distinct groups is a fifth of it).
constexpr qsizetype kDecodeWork = 4 * 1024 * 1024;
constexpr qsizetype kBlankRunHalvings = 5; // a run of up to 32 blanks becomes one

enum class WindUnit { Knots, MetresPerSecond };

QString twoDigitKnots(int metresPerSecond)
{
    return QString::number(std::lround(metresPerSecond * 1.9438)).rightJustified(2, u'0');
}

qsizetype digitsAt(QStringView text, qsizetype from)
{
    qsizetype count = 0;
    while (from + count < text.size() && text[from + count] >= u'0' && text[from + count] <= u'9')
        ++count;
    return count;
}

struct WindGroup
{
    QStringView direction;
    QStringView speed;
    std::optional<QStringView> gust;
};

// dddff[Gff]unit with a three-digit direction or VRB and two- or three-digit speed and gust. What
// follows the unit is ignored, as the fixed-position reading below ignores it.
std::optional<WindGroup> readWindGroup(QStringView group, QStringView unit)
{
    const QStringView direction = group.left(3);
    if (direction != u"VRB" && digitsAt(group, 0) < 3)
        return std::nullopt;
    qsizetype i = 3;
    const qsizetype speedDigits = digitsAt(group, i);
    if (speedDigits < 2 || speedDigits > 3)
        return std::nullopt;
    WindGroup wind { direction, group.mid(i, speedDigits), std::nullopt };
    i += speedDigits;
    if (i < group.size() && group[i] == u'G') {
        const qsizetype gustDigits = digitsAt(group, i + 1);
        if (gustDigits < 2 || gustDigits > 3)
            return std::nullopt;
        wind.gust = group.mid(i + 1, gustDigits);
        i += 1 + gustDigits;
    }
    if (!group.mid(i).startsWith(unit))
        return std::nullopt;
    return wind;
}

// Reading a wind group by fixed positions (speed from characters 3 to 5, gust from the two characters
// after the first "G") only holds for a direction ending in 0 with two-digit speed and gust. A
// well-formed group is read by its parts instead, which gives the same text for those and reads VRB05KT
// and 270105G120KT right; anything else keeps the fixed-position reading.
QString windPhrase(const QString& group, WindUnit unit)
{
    const bool mps = unit == WindUnit::MetresPerSecond;
    const auto speedText = [mps](QStringView digits) {
        const int speed = leadingNumber(digits);
        return mps ? twoDigitKnots(speed) : QString::number(speed);
    };
    QString phrase = u"Vent du "_s;
    std::optional<QString> gust;
    if (const std::optional<WindGroup> wind = readWindGroup(group, mps ? u"MPS" : u"KT")) {
        // No degree sign for VRB: the table turns "Vent du VRB" into "Vent variable ".
        phrase += wind->direction == u"VRB" ? u"VRB"_s : wind->direction.toString() + u"° "_s;
        phrase += speedText(wind->speed);
        if (wind->gust)
            gust = mps ? twoDigitKnots(leadingNumber(*wind->gust)) : wind->gust->toString();
    } else {
        phrase += group.left(3) + u"° "_s + speedText(QStringView(group).mid(2, 3));
        if (const qsizetype gustAt = group.indexOf(u'G'); gustAt > 0)
            gust = mps ? twoDigitKnots(leadingNumber(QStringView(group).mid(gustAt + 1, 2))) : group.mid(gustAt + 1, 2);
    }
    phrase += u" Kts."_s;
    if (gust)
        phrase += u" ( rafales à "_s + *gust + u" Kts)"_s;
    return phrase;
}

// "TNM02/1606Z" gives CR LF "T° Mini: -2° le 16 à 06h00 Z". Nothing when the letters are absent or
// the group has no day-hour part to take; such a token is left as it is.
std::optional<QString> temperaturePhrase(const QString& token, QStringView letters, QStringView heading)
{
    const qsizetype lettersAt = token.indexOf(letters);
    if (lettersAt < 0)
        return std::nullopt;
    const qsizetype zuluAt = token.indexOf(u'Z', lettersAt);
    const QString group = zuluAt >= 0 ? token.mid(lettersAt, zuluAt - lettersAt) : QString();
    const qsizetype slash = group.indexOf(u'/');
    if (group.size() < 7 || slash < 0)
        return std::nullopt;
    QString value = group.mid(2, group.size() - 7);
    // "M02" is minus two; any other value is shown as it came.
    if (value.size() > 1 && value.startsWith(u'M')
        && std::all_of(value.cbegin() + 1, value.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        value = QString::number(-value.mid(1).toInt());
    const QString dayHour = group.mid(slash + 1);
    return u"\r\n"_s + heading.toString() + value + u"° le "_s + dayHour.left(2) + u" à "_s + dayHour.right(2)
        + u"h00 Z"_s;
}

// Every check looks at the token as it came, so one token may be rewritten by several.
void decodeToken(QString& text, const QString& token, const QString& code)
{
    const auto replace = [&](const QString& phrase) { replaceAll(text, token, phrase); };
    if (token.size() >= 7 && token.contains(u"KT"))
        replace(windPhrase(token, WindUnit::Knots));
    if (token.size() >= 7 && token.contains(u"MPS"))
        replace(windPhrase(token, WindUnit::MetresPerSecond));
    if (const std::optional<QString> phrase = temperaturePhrase(token, u"TN", u"T° Mini: "))
        replace(*phrase);
    if (token.startsWith(u"FM"))
        replace(u"A partir du "_s + token.mid(2, 2) + u" à "_s + token.mid(4));
    if (token.startsWith(u"VV") && !code.contains(u"VV"))
        replace(u"Plafond "_s + QString::number(leadingNumber(QStringView(token).mid(2, 3))) + u"00 '"_s);
    if (const std::optional<QString> phrase = temperaturePhrase(token, u"TX", u"T° Maxi: "))
        replace(*phrase);
    if (const std::optional<QString> phrase = temperaturePhrase(token, u"TM", u"T° Moyenne: M"))
        replace(*phrase);
    if (token.size() == 9 && token.at(4) == u'/')
        replace(periodPhrase(token));
}

// What halving every run of blanks kBlankRunHalvings times over gives (a run of n becomes n / 32 rounded up),
// in one pass.
QString collapseBlankRuns(const QString& text)
{
    constexpr qsizetype kShrink = qsizetype(1) << kBlankRunHalvings;
    if (!text.contains(u"  "))
        return text;
    QString result(text.size(), Qt::Uninitialized);
    QChar* out = result.data();
    const QChar* in = text.constData();
    const QChar* const end = in + text.size();
    while (in != end) {
        if (*in != u' ') {
            *out++ = *in++;
            continue;
        }
        const QChar* const runStart = in;
        while (in != end && *in == u' ')
            ++in;
        for (qsizetype kept = (in - runStart + kShrink - 1) / kShrink; kept > 0; --kept)
            *out++ = u' ';
    }
    result.truncate(out - result.constData());
    return result;
}

QString trimBlanks(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    return text.mid(first, last - first);
}

constexpr quint32 kGrey = 0xC0C0C0;
constexpr quint32 kDarkRed = 0xC00000;
constexpr quint32 kBlue = 0x0000FF;
constexpr quint32 kRed = 0xFF0000;
constexpr qsizetype kRawForecastSpan = 1000;
constexpr qsizetype kCumulonimbusSpan = 15; // the phrase and the character after it

} // namespace

QString periodPhrase(const QString& group)
{
    if (group.size() != 9)
        return {};
    return u" du "_s + group.mid(0, 2) + u" à "_s + group.mid(2, 2) + u"h00 au "_s + group.mid(5, 2) + u" à "_s
        + group.mid(7, 2) + u"h00"_s;
}

QString decode(const QString& workingText, const QStringList& tokens, const QString& code)
{
    // The code that opens the text is held aside during the per-token rules: a replace-all started by
    // another token (a stray "FM" against FMEE) would otherwise reach into it.
    const qsizetype kept = !code.isEmpty() && workingText.startsWith(code) ? code.size() : 0;
    QString text = workingText.mid(kept);

    // A token met again finds nothing left to rewrite: its first examination replaced every occurrence,
    // and no phrase holds a group that a check accepts (only a garbled text could rebuild one across a
    // phrase's edge). Skipping it spares a long, repetitive text one pass over the whole text per repeat.
    QSet<QString> examined;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString& token = tokens.at(i);
        const bool isCode = token == code || (i == 0 && kept > 0 && token.startsWith(code));
        if (token.isEmpty() || isCode || examined.contains(token))
            continue;
        examined.insert(token);
        decodeToken(text, token, code);
    }
    text.prepend(QStringView(workingText).left(kept));

    for (const Replacement& row : kTafReplacements) {
        if (row.guard.isEmpty() || !code.contains(row.guard))
            replaceAll(text, row.find, row.replaceWith);
    }
    return text;
}

QString decodeLong(const QString& workingText, const QStringList& tokens, const QString& code)
{
    // Every rule rewrites the whole text, once per distinct group: fine for a forecast, whose file holds
    // a few kilobytes, but a long run of distinct groups (a wrong file, a page of megabytes) would take
    // seconds. Past the length limit, or once the distinct groups times the length come to the work limit,
    // the text is decoded up to a blank and the rest is kept as it came.
    qsizetype limit = std::min(workingText.size(), kDecodedLimit);
    QSet<QStringView> distinct;
    qsizetype length = 0;
    for (const QString& token : tokens) {
        if (length > limit)
            break;
        distinct.insert(token);
        if (distinct.size() * (length + token.size()) > kDecodeWork) {
            limit = std::min(limit, length);
            break;
        }
        length += token.size() + 1;
    }
    if (workingText.size() <= limit)
        return decode(workingText, tokens, code);
    const qsizetype cut = std::max<qsizetype>(workingText.lastIndexOf(u' ', limit), 0);
    QStringList headTokens;
    length = 0;
    for (const QString& token : tokens) {
        length += token.size() + 1;
        if (length > cut + 1)
            break;
        headTokens.append(token);
    }
    const QString head = decode(workingText.left(cut), headTokens, code);
    QString decoded;
    decoded.reserve(head.size() + workingText.size() - cut);
    decoded.append(head);
    decoded.append(QStringView(workingText).mid(cut));
    return decoded;
}

TafReport buildReport(const QString& rawText, const QString& code, const QDate& today)
{
    TafReport report;
    report.rawEmpty = rawText.isEmpty();
    if (report.rawEmpty)
        return report;
    report.title = u"TAF de "_s + code;

    QString text = collapseBlankRuns(rawText);

    const qsizetype at = code.isEmpty() ? -1 : text.indexOf(code);
    report.codeFound = at >= 0;
    if (report.codeFound) {
        text.remove(0, at);
        const QString cutText = text;

        // Issue time: up to the first "Z" after the code's blank. Validity: the group after it, running
        // to the end of the text when no blank closes it.
        const qsizetype issueStart = text.indexOf(u' ', 4);
        const qsizetype issueEnd = issueStart >= 0 ? text.indexOf(u'Z', issueStart) : -1;
        if (issueEnd >= 0) {
            report.issueTimeGroup = trimBlanks(text.mid(issueStart, issueEnd - issueStart));
            if (const qsizetype validityStart = text.indexOf(u' ', issueEnd); validityStart >= 0) {
                const qsizetype validityEnd = text.indexOf(u' ', validityStart + 1);
                report.validityGroup = trimBlanks(
                    text.mid(validityStart, (validityEnd >= 0 ? validityEnd : text.size()) - validityStart));
            }
            // Only the day of the month is compared; a text with no issue time shows nothing that is old.
            report.outOfDate = Expiry::isOutOfDate(Expiry::dayOfGroup(report.issueTimeGroup), today);
        }
        report.titlePeriod = periodPhrase(report.validityGroup);

        replaceAll(text, report.validityGroup, u"");
        // An empty issue time would make this remove every "Z" of the forecast.
        if (!report.issueTimeGroup.isEmpty())
            replaceAll(text, QString(report.issueTimeGroup + u'Z'), u"");
        report.workingText = text;
        // Past the length limit no decoding uses a group beyond the first blank after it: a page of
        // megabytes is not split into a million groups that nothing reads.
        const qsizetype tokensEnd = text.size() > kDecodedLimit ? cutText.indexOf(u' ', kDecodedLimit) : -1;
        report.tokens = tokensEnd < 0 ? cutText.split(u' ') : cutText.left(tokensEnd).split(u' ');
        report.decoded = decodeLong(text, report.tokens, code);
        report.title += report.titlePeriod;
    } else {
        report.workingText = text;
    }
    constexpr QStringView kRawHeading = u"\r\n\r\nTAF complet\r\n";
    report.reportText.reserve(report.decoded.size() + kRawHeading.size() + rawText.size());
    report.reportText.append(report.decoded).append(kRawHeading).append(rawText);
    return report;
}

StyleSpans emphasisSpans(const QString& text)
{
    StyleSpans spans;

    // With no raw forecast in the area there is nothing to grey.
    if (const qsizetype start = text.indexOf(u"TAF complet"); start >= 0)
        addSpan(spans, text.size(), start, kRawForecastSpan, false, kGrey);

    // A temperature heading through the degree sign after its value: the search starts past the one
    // inside the heading.
    struct Heading
    {
        QStringView phrase;
        quint32 rgb;
    };
    static const std::array<Heading, 3> kHeadings { {
        { u"T° Maxi", kDarkRed },
        { u"T° Mini", kBlue },
        { u"T° Moyenne:", kBlue },
    } };
    for (const Heading& heading : kHeadings) {
        const qsizetype start = text.indexOf(heading.phrase);
        // Without a degree sign the length comes out negative, and no span is added.
        if (start > 0)
            addSpan(spans, text.size(), start, text.indexOf(u'°', start + 4) + 1 - start, true, heading.rgb);
    }

    if (const qsizetype start = text.indexOf(u" Cumulonimbus."); start > 0)
        addSpan(spans, text.size(), start, kCumulonimbusSpan, true, kRed);

    return spans;
}

} // namespace Taf
