#pragma once

#include "reports/StyleSpan.h"

#include <QDate>
#include <QString>
#include <QStringList>

namespace Taf {

/// " du DD à HHh00 au DD à HHh00" for a nine-character DDHH/DDHH group; empty for any other length.
QString periodPhrase(const QString& group);

/// Everything the TAF path puts on screen, worked out from the downloaded text alone.
struct TafReport
{
    bool rawEmpty = false; ///< nothing was read: the window hides the report area and the title
    bool codeFound = false; ///< the station code occurs in the raw text
    QString workingText; ///< cleaned, cut at the code, validity and issue-time groups removed
    QStringList tokens; ///< the cut text split at single blanks, before the groups were removed (when the
                        ///< working text passes 64 KiB, up to the first blank past 64 KiB: no decoding goes further)
    QString issueTimeGroup; ///< "151100" for "151100Z"; empty when the text has none
    QString validityGroup; ///< "1512/1618", or the older "151218"; empty when the text has none
    QString titlePeriod; ///< periodPhrase() of a nine-character validity group, else empty
    bool outOfDate = false;
    QString decoded; ///< decode() of the working text; empty when the code was not found
    QString title; ///< "TAF de " + code + titlePeriod; empty when rawEmpty
    QString reportText; ///< decoded + CR LF CR LF "TAF complet" CR LF + raw text; empty when rawEmpty
};

/// Cuts, dates and decodes the TAF of @p code out of @p rawText (the work file's items after the first,
/// each followed by one blank). Never fails: a text without the code gives the title "TAF de " + code,
/// an empty decoded part and the raw text under "TAF complet", and counts as current, as does a text
/// from which no issue-time group can be taken.
TafReport buildReport(const QString& rawText, const QString& code, const QDate& today);

/// Rewrites one TAF into French: per-token rules for the groups that carry numbers, then the ordered
/// table of code words. @p tokens is the cut text split at single blanks before the issue-time and
/// validity groups were taken out of @p workingText. The station code that opens the text is never
/// rewritten by the per-token rules; the table rewrites it only where a row has no guard for it.
QString decode(const QString& workingText, const QStringList& tokens, const QString& code);

/// decode() of a text of any length: past 64 KiB, or once its distinct groups times its length pass
/// four million (no forecast comes near either), the text is decoded up to a blank and the rest is kept as
/// it came, so that no input can hold the program for long.
QString decodeLong(const QString& workingText, const QStringList& tokens, const QString& code);

/// Emphasis of the TAF report area: the raw forecast greyed, the first maximum, minimum and mean
/// temperature phrases and the first cumulonimbus coloured. Offsets are 0-based into @p areaText
/// (CR LF line breaks); a span that cannot be placed is left out, one that runs past the end is clipped.
StyleSpans emphasisSpans(const QString& areaText);

} // namespace Taf
