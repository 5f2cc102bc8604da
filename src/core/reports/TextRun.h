#pragma once

#include <QString>
#include <QtGlobal>

/// A stretch of a report's text that looks the same throughout.
struct TextRun
{
    QString text;
    quint32 rgb = 0; ///< 0xRRGGBB
    bool bold = false;
    qreal pointSize = 0;
};
