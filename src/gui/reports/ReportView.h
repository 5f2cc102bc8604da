#pragma once

#include "reports/StyleSpan.h"

#include <QString>

/// What the request driver writes a report into: a title, a banner for an out-of-date report, the
/// report's text with its styled spans, and the background behind it.
class ReportView
{
public:
    virtual ~ReportView() = default;

    /// 0 METAR, 1 TAF, 2 NOTAM; -1 before any type is chosen (a report is then a METAR).
    virtual int reportType() const = 0;

    virtual void setTitle(const QString& title) = 0;
    virtual void setTitleVisible(bool visible) = 0;
    /// The banner keeps its text while hidden.
    virtual void setBannerText(const QString& text) = 0;
    virtual void setBannerVisible(bool visible) = 0;
    virtual void setBackground(quint32 rgb) = 0;

    virtual void setReportText(const QString& text) = 0;
    /// The report's text with every line break as CR LF: the text the styling engines search.
    virtual QString reportText() const = 0;
    virtual void applySpans(const StyleSpans& spans) = 0;
    virtual void setReportVisible(bool visible) = 0;
    virtual bool isReportVisible() const = 0;

    /// Shows NOTAMs, which the find command then searches.
    virtual void showNotams(const QString& text) = 0;
};
