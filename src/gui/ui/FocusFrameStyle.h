#pragma once

#include <QProxyStyle>

/// The platform's style, with a focus mark on push buttons that is plain to see: the stock one only
/// tints the button's border, which is hard to make out on a grey button.
class FocusFrameStyle final : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
};
