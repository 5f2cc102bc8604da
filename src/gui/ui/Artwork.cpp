#include "ui/Artwork.h"

#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <functional>

using namespace Qt::StringLiterals;

namespace Artwork {
namespace {

// A picture with a transparent background, drawn antialiased by @p draw.
QPixmap transparentPicture(int width, int height, const std::function<void(QPainter&)>& draw)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return pixmap;
}

void drawCloud(QPainter& painter, QPointF at, qreal scale)
{
    QPainterPath cloud;
    cloud.addEllipse(at + QPointF(0, 10) * scale, 26 * scale, 16 * scale);
    cloud.addEllipse(at + QPointF(24, 0) * scale, 24 * scale, 22 * scale);
    cloud.addEllipse(at + QPointF(50, 10) * scale, 26 * scale, 16 * scale);
    cloud.addRect(QRectF(at + QPointF(0, 10) * scale, QSizeF(50, 16) * scale));
    cloud.setFillRule(Qt::WindingFill); // the overlapping puffs fill as one shape
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawPath(cloud.simplified());
}

// A light aircraft seen from above, nose to the right, centred on the origin, about 60 units long.
void drawAircraft(QPainter& painter, const QColor& colour)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    QPainterPath body;
    body.moveTo(32, 0);
    body.cubicTo(30, -5, 20, -5, 10, -4);
    body.lineTo(-26, -2);
    body.lineTo(-26, 2);
    body.lineTo(10, 4);
    body.cubicTo(20, 5, 30, 5, 32, 0);
    painter.drawPath(body);
    painter.drawRoundedRect(QRectF(4, -34, 12, 68), 4, 4); // wing
    painter.drawRoundedRect(QRectF(-28, -13, 8, 26), 3, 3); // tailplane
}

} // namespace

QIcon windowIcon()
{
    // The image the desktop shows in its menu and task bar, at the one size a frame or a window switcher needs:
    // 48 pixels halve to 24 and third to 16 cleanly. The desktop's own icon comes from the installed theme.
    // Read as the PNG it is: left to guess the format, Qt loads every image plugin to ask it first.
    QImageReader reader(u":/icons/ventorix-48.png"_s, "png");
    reader.setAutoDetectImageFormat(false);
    return QIcon(QPixmap::fromImage(reader.read()));
}

QPixmap helpPicture()
{
    QPixmap pixmap(383, 332);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 332);
    sky.setColorAt(0, QColor(0x1E, 0x5A, 0xB4));
    sky.setColorAt(0.7, QColor(0x9C, 0xD2, 0xF4));
    sky.setColorAt(1, QColor(0xE8, 0xF4, 0xFC));
    painter.fillRect(pixmap.rect(), sky);

    QRadialGradient sun(QPointF(300, 70), 60);
    sun.setColorAt(0, QColor(255, 250, 200));
    sun.setColorAt(0.4, QColor(255, 220, 90));
    sun.setColorAt(1, QColor(255, 220, 90, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sun);
    painter.drawEllipse(QPointF(300, 70), 60, 60);

    drawCloud(painter, QPointF(30, 60), 1.3);
    drawCloud(painter, QPointF(190, 140), 1.0);
    drawCloud(painter, QPointF(60, 190), 0.8);

    // Runway in perspective with its centre line.
    painter.setBrush(QColor(0x4A, 0x8C, 0x3C));
    painter.drawRect(QRectF(0, 262, 383, 70));
    QPolygonF runway({ QPointF(150, 262), QPointF(233, 262), QPointF(330, 332), QPointF(53, 332) });
    painter.setBrush(QColor(0x50, 0x50, 0x58));
    painter.drawPolygon(runway);
    painter.setPen(QPen(Qt::white, 3, Qt::DashLine));
    painter.drawLine(QPointF(191.5, 266), QPointF(191.5, 330));

    // Windsock on its mast.
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 3));
    painter.drawLine(QPointF(340, 300), QPointF(340, 230));
    painter.setPen(Qt::NoPen);
    for (int band = 0; band < 4; ++band) {
        painter.setBrush(band % 2 ? QColor(Qt::white) : QColor(0xFF, 0x60, 0x00));
        const qreal mastSide = 340 - 9 * band;
        painter.drawPolygon(QPolygonF({ QPointF(mastSide, 230 + band), QPointF(mastSide - 9, 231 + band),
            QPointF(mastSide - 9, 243 - band), QPointF(mastSide, 244 - band) }));
    }

    painter.save();
    painter.translate(170, 100);
    painter.rotate(-12);
    painter.scale(1.6, 1.6);
    drawAircraft(painter, QColor(0xC0, 0x00, 0x00));
    painter.restore();

    // The help texts run onto the picture's left edge (the first two well into it) and the version
    // caption lies on the runway: a light veil keeps them readable.
    const auto fadingVeil = [&painter](qreal opaqueTo, qreal clearAt, const QRectF& area) {
        QLinearGradient veil(0, 0, clearAt, 0);
        veil.setColorAt(0, QColor(255, 255, 255, 225));
        veil.setColorAt(opaqueTo / clearAt, QColor(255, 255, 255, 225));
        veil.setColorAt(1, QColor(255, 255, 255, 0));
        painter.setPen(Qt::NoPen);
        painter.setBrush(veil);
        painter.drawRoundedRect(area, 8, 8);
    };
    fadingVeil(90, 120, QRectF(-10, 3, 130, 72));
    fadingVeil(24, 44, QRectF(-10, 60, 54, 132));
    painter.setBrush(QColor(255, 255, 255, 215));
    painter.drawRoundedRect(QRectF(128, 289, 136, 24), 6, 6);
    return pixmap;
}

QPixmap refreshPicture()
{
    return transparentPicture(27, 26, [](QPainter& painter) {
        const QColor colour(0x00, 0x60, 0x20);
        painter.setPen(QPen(colour, 3, Qt::SolidLine, Qt::FlatCap));
        painter.drawArc(QRectF(4, 4, 19, 18), 60 * 16, 280 * 16);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPolygon(QPolygonF({ QPointF(14, 0), QPointF(21, 5), QPointF(13, 10) }));
    });
}

QPixmap favouritePointerIcon()
{
    return transparentPicture(32, 32, [](QPainter& painter) {
        // A pointing star: a favourite recalls a station with one click.
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const qreal radius = i % 2 ? 5.0 : 12.0;
            const qreal angle = -M_PI / 2 + i * M_PI / 5;
            star << QPointF(16 + radius * std::cos(angle), 16 + radius * std::sin(angle));
        }
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(QColor(0xFF, 0xD0, 0x00));
        painter.drawPolygon(star);
    });
}

QCursor linkPointer()
{
    // An arrow pointing at a small globe: the two links lead to the author's web site.
    const QPixmap pixmap = transparentPicture(32, 32, [](QPainter& painter) {
        painter.setPen(QPen(QColor(0x00, 0x00, 0x80), 1.2));
        painter.setBrush(QColor(0x60, 0xA0, 0xF0));
        painter.drawEllipse(QPointF(21, 21), 9, 9);
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(17, 12, 8, 18));
        painter.drawLine(QPointF(12, 21), QPointF(30, 21));
        QPolygonF arrow({ QPointF(1, 1), QPointF(1, 17), QPointF(5, 13), QPointF(8, 20), QPointF(11, 19),
            QPointF(8, 12), QPointF(13, 12) });
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        painter.drawPolygon(arrow);
    });
    return QCursor(pixmap, 1, 1);
}

} // namespace Artwork
