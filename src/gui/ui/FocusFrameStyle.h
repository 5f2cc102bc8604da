#pragma once

#include <QProxyStyle>

/// The platform's style, with focus marks that are plain to see: the stock one only tints a push button's
/// border, which is hard to make out on a grey button, and marks nothing round a list with no rows or
/// round the report.
class FocusFrameStyle final : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
    int pixelMetric(
        PixelMetric metric, const QStyleOption* option = nullptr, const QWidget* widget = nullptr) const override;
};
