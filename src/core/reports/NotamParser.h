#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Reading the NOTAMs of the cut block (Notam::cut) one by one, dating them against a clock, and wording them
// in French for the window, the briefings and the report mode.
namespace Notam {

/// A point on the Earth in degrees, north and east positive.
struct GeoPoint
{
    double lat = 0.0;
    double lon = 0.0;
};

/// What an ICAO NOTAM does: NOTAMN, NOTAMR or NOTAMC; Unknown for any other item.
enum class Kind { Unknown, New, Replace, Cancel };

/// One NOTAM of the block. Every field but lead and text is read from an ICAO-format NOTAM only, and each
/// holds what could be read: a group that is missing, truncated or impossible leaves its fields empty.
struct Item
{
    QString lead; ///< what stood before it in the block: the cut's separator line, or nothing
    QString text; ///< the NOTAM exactly as cut; the leads and texts of all items, in order, give the block back
    bool icao = false; ///< the text opens with a series, number, year and NOTAMN/R/C; nothing else is read

    QString id; ///< "A0023/15"
    QChar series; ///< 'A'
    int number = 0; ///< 23
    int year = 0; ///< 2015
    Kind kind = Kind::Unknown;
    QString replaces; ///< the NOTAM a NOTAMR replaces or a NOTAMC cancels

    QString fir; ///< Q) "LFFF"
    QString qcode; ///< Q) "QMRLC"; empty unless it is Q and four letters
    QString subject; ///< "MR", letters 2 and 3 of the code
    QString condition; ///< "LC", letters 4 and 5 of the code
    QString traffic; ///< "I", "V", "IV" or "K"
    QString purpose; ///< "NBO"...
    QString scope; ///< "A", "E", "W", "AE", "AW" or "K"
    std::optional<int> lowerFl; ///< Q) lower flight level, 0 to 999
    std::optional<int> upperFl;
    std::optional<GeoPoint> centre; ///< Q) centre of the area, to the minute
    std::optional<int> radiusNm; ///< Q) radius of the area in nautical miles

    QStringList locations; ///< A) four-letter location indicators, in order
    QString fromText; ///< B) as written ("2601120800"); empty when there is no B)
    QString toText; ///< C) as written ("2610312059 EST", "PERM"); empty when there is no C)
    QDateTime from; ///< B), UTC; invalid when missing or impossible
    QDateTime to; ///< C), UTC; invalid when missing, impossible or permanent
    bool permanent = false; ///< C) PERM
    bool estimated = false; ///< C) date followed by EST
    QString schedule; ///< D) on one line, as written
    QString body; ///< E) as written, line breaks kept, without the F) and G) groups that close it
    QString lower; ///< F) as written ("SFC")
    QString upper; ///< G) as written ("FL050")
};

/// Where a NOTAM stands at a given time.
enum class State { Unknown, InForce, Upcoming, Expired, Permanent };

/// The state and its French phrase ("en vigueur", "à venir dans 3 h", "expiré, fin estimée"...).
struct Status
{
    State state = State::Unknown;
    QString phrase;
};

/// One NOTAM as the window lists it.
struct Entry
{
    Item item;
    Status status;
    bool aroundField = false; ///< coversAerodrome() for the aerodrome given to arrange()
};

/// The NOTAMs in display order, the expired ones apart.
struct Briefing
{
    QList<Entry> shown; ///< in force, then upcoming, then permanent, then unknown and non-ICAO; page order in each
    QList<Entry> expired; ///< in page order
};

/// Splits @p cutBlock (cut() output) into its NOTAMs: at each separator line, and before each line
/// that opens an ICAO NOTAM. Each item is read as an ICAO NOTAM when it opens with its header (a location
/// and a "(" may come first); any other item (national format, free text) keeps its text with every field
/// empty. Never fails; an empty block gives no item.
QList<Item> parseItems(const QString& cutBlock);

/// The state of @p item at @p nowUtc. Unknown for a non-ICAO item, an unreadable or missing B) or C)
/// (a NOTAMC may have no C): it is in force from B) on), and a C) before B). An estimated end that has passed does not
/// expire a NOTAM: only its cancellation does, so it stays in force with "fin estimée dépassée".
Status statusAt(const Item& item, const QDateTime& nowUtc);

/// The French state name of the JSON output: "en vigueur", "à venir", "expiré", "permanent"; empty for Unknown.
QString stateName(State state);

/// French label of a Q-code subject ("MR" -> "Piste"); the letters themselves when unknown.
QString subjectLabel(const QString& subject);

/// French label of a Q-code condition, agreeing with @p subject ("LC" after "MR" -> "fermée"); the letters
/// themselves when unknown.
QString conditionLabel(const QString& condition, const QString& subject);

/// "Piste — fermée" for the item's Q-code; empty when it has none.
QString codeLabel(const Item& item);

/// One line for the list: "A0023/15 — en vigueur — du 12/01 08:00 au 31/10 20:59 UTC — Piste — fermée",
/// then the limits unless they are the whole height (F) and G) as written, else the Q) flight levels), the
/// D) schedule after "horaires :", and "autour du terrain" when @p aroundField. Empty for a non-ICAO item.
QString statusLine(const Item& item, const QDateTime& nowUtc, bool aroundField = false);

/// Whether the area of an en-route or warning NOTAM (Q) scope with E or W) covers the point: great-circle
/// distance from the Q) centre at most the Q) radius. False without scope, centre or radius.
bool coversAerodrome(const Item& item, double latDeg, double lonDeg);

/// The items in display order with their status at @p nowUtc, the expired ones apart; each marked around
/// the field when @p aerodrome is given and coversAerodrome() holds. A piece of blanks between two
/// separators is no NOTAM and is left out.
Briefing arrange(const QList<Item>& items, const QDateTime& nowUtc, std::optional<GeoPoint> aerodrome = {});

/// The line that stands for the hidden expired NOTAMs: "3 NOTAM expirés — afficher"; empty for none.
QString expiredLine(qsizetype count);

/// The heading over the expired NOTAMs once they are listed: "3 NOTAM expirés"; empty for none.
QString expiredHeading(qsizetype count);

/// The report mode's object for one NOTAM. Every key is always there, an unknown value being null
/// (locations an empty array, estimated and aroundField false). For an ICAO item "text" holds the E) text;
/// for any other item "text" holds its whole text and every other value is null, false or empty, since
/// nothing can be read from it without guessing. "to" is "PERM" for a permanent NOTAM; times are ISO 8601 UTC.
QJsonObject toJson(const Item& item, const QDateTime& nowUtc, bool aroundField);

} // namespace Notam
