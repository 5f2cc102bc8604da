#pragma once

#include "reports/TextRun.h"

#include <QList>
#include <QString>

/// Everything the report panel shows of the current report, read back from its controls.
struct ShownReport
{
    QString title;
    bool titleVisible = false;
    bool reportVisible = false;
    bool bannerVisible = false;
    QString banner;
    quint32 background = 0;
    QString text; ///< line breaks as CR LF
    QList<TextRun> runs;
};
