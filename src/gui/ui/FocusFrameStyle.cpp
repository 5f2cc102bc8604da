#include "ui/FocusFrameStyle.h"

#include <QAbstractScrollArea>
#include <QPainter>
#include <QStyleOption>

namespace {

// The ring round a focused list or report, drawn on its frame.
constexpr int kRingWidth = 2;

bool isScrollArea(const QWidget* widget)
{
    return qobject_cast<const QAbstractScrollArea*>(widget) != nullptr;
}

} // namespace

void FocusFrameStyle::drawControl(
    ControlElement element, const QStyleOption* option, QPainter* painter, const QWidget* widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    if (!(option->state & State_HasFocus))
        return;
    if (element == CE_PushButton) {
        painter->save();
        painter->setPen(QPen(option->palette.color(QPalette::ButtonText), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option->rect.adjusted(4, 4, -5, -5));
        painter->restore();
    } else if (element == CE_ShapedFrame && isScrollArea(widget)) {
        painter->save();
        painter->setPen(QPen(option->palette.color(QPalette::Highlight), kRingWidth));
        painter->setBrush(Qt::NoBrush);
        const qreal inset = kRingWidth / 2.0;
        painter->drawRect(QRectF(option->rect).adjusted(inset, inset, -inset, -inset));
        painter->restore();
    }
}

int FocusFrameStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const
{
    const int value = QProxyStyle::pixelMetric(metric, option, widget);
    // The frame of a list or of the report leaves the ring its room, focused or not, so nothing moves.
    if (metric == PM_DefaultFrameWidth && isScrollArea(widget))
        return std::max(value, kRingWidth);
    return value;
}
