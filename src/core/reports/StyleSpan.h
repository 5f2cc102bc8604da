#pragma once

#include <QList>
#include <QtGlobal>

#include <algorithm>
#include <optional>

/// A look given to a range of the report area's text. Offsets count characters of the text as read
/// back from the area, with every line break as CR LF.
struct StyleSpan
{
    qsizetype start = 0;
    qsizetype length = 0;
    bool bold = false;
    quint32 rgb = 0x000000; ///< 0xRRGGBB
    std::optional<qreal> pointSize; ///< unchanged when empty

    friend bool operator==(const StyleSpan&, const StyleSpan&) = default;
};

using StyleSpans = QList<StyleSpan>;

/// Appends a span the report area can take, in a text of @p textSize characters: one the area would
/// refuse (negative start or length, start past the end) is left out; one running past the end stops there.
inline void addSpan(StyleSpans& spans, qsizetype textSize, qsizetype start, qsizetype length, bool bold, quint32 rgb,
    std::optional<qreal> pointSize = std::nullopt)
{
    if (start < 0 || length < 0 || start > textSize)
        return;
    spans.append(StyleSpan { start, std::min(length, textSize - start), bold, rgb, pointSize });
}
