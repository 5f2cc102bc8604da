#pragma once

#include <QColor>
#include <QFont>

/// The face and colours shared by the window and the briefing documents, so a briefing looks as the
/// report does on screen.
namespace TextLook {

/// The window's face ("Liberation Sans") at @p points.
inline QFont sansFont(qreal points, bool bold = false, bool underline = false)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

/// An opaque colour from 0xRRGGBB.
inline QColor colour(quint32 rgb)
{
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | rgb));
}

} // namespace TextLook
