// SPDX-License-Identifier: MIT
#include "platform/WindowIcon.h"

#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace miradel {

static constexpr int kIconSize = 32;

static void DrawTile(QPainter& painter)
{
    QLinearGradient sky(0, 0, 0, kIconSize);
    sky.setColorAt(0, QColor(0x1B, 0x24, 0x5C));
    sky.setColorAt(1, QColor(0x4A, 0x3B, 0x7A));
    painter.setPen(Qt::NoPen);
    painter.setBrush(sky);
    painter.drawRoundedRect(QRectF(0.5, 0.5, kIconSize - 1, kIconSize - 1), 6, 6);
}

static void DrawMoon(QPainter& painter)
{
    QPainterPath disc;
    disc.addEllipse(QPointF(13, 16), 10, 10);
    QPainterPath bite;
    bite.addEllipse(QPointF(18, 12), 9, 9);
    painter.setBrush(QColor(0xF6, 0xD3, 0x6B));
    painter.drawPath(disc.subtracted(bite));
}

static void DrawStar(QPainter& painter)
{
    const QPointF centre(24, 22);
    QPainterPath star;
    for (int point = 0; point < 8; ++point) {
        const double radius = point % 2 == 0 ? 5.0 : 1.3;
        const double angle = point * 3.14159265358979 / 4;
        const QPointF corner = centre + QPointF(radius * std::sin(angle), -radius * std::cos(angle));
        point == 0 ? star.moveTo(corner) : star.lineTo(corner);
    }
    star.closeSubpath();
    painter.setBrush(Qt::white);
    painter.drawPath(star);
}

QImage DrawProgramIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(static_cast<double>(size) / kIconSize, static_cast<double>(size) / kIconSize);
        DrawTile(painter);
        DrawMoon(painter);
        DrawStar(painter);
    }
    return image;
}

QIcon ProgramIcon()
{
    // 256 colours, as a desktop icon of its kind has.
    const QImage indexed = DrawProgramIcon(kIconSize).convertToFormat(
        QImage::Format_Indexed8, Qt::ThresholdDither | Qt::ThresholdAlphaDither);
    return QIcon::fromTheme(
        QStringLiteral("miradel"), QIcon(QPixmap::fromImage(indexed.convertToFormat(QImage::Format_ARGB32))));
}

} // namespace miradel
