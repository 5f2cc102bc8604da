#pragma once

#include "briefing/TextLook.h"

#include <QColor>
#include <QRect>

#include <cmath>

/// Window geometry is given in twips: 15 twips are one pixel at 96 dots per inch.
namespace Twips {

constexpr int kPerPixel = 15;

constexpr int toPixels(double twips)
{
    return static_cast<int>(twips >= 0 ? twips / kPerPixel + 0.5 : twips / kPerPixel - 0.5);
}

constexpr int fromPixels(int pixels)
{
    return pixels * kPerPixel;
}

inline QRect rect(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

inline QColor rgb(quint32 value)
{
    return TextLook::colour(value);
}

} // namespace Twips
