#pragma once

#include <QList>
#include <QtGlobal>

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
