// SPDX-License-Identifier: MIT
#include "Painting.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>

namespace miradel::content {

double Scatter::Between(double low, double high)
{
    // xorshift32: tiny, and the same on every compiler.
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return low + (high - low) * (static_cast<double>(m_state) / 4294967296.0);
}

void FillVertical(QPainter& painter, std::initializer_list<ColorStop> stops, double top, double bottom)
{
    QLinearGradient gradient(0.0, top, 0.0, bottom);
    for (const auto& [at, color] : stops) {
        gradient.setColorAt(at, color);
    }
    painter.fillRect(QRectF(0.0, top, kSheet, bottom - top), gradient);
}

void DrawGlow(QPainter& painter, QPointF center, double radius, QColor color)
{
    QRadialGradient gradient(center, radius);
    gradient.setColorAt(0.0, color);
    QColor edge = color;
    edge.setAlpha(0);
    gradient.setColorAt(1.0, edge);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(center, radius, radius);
}

void DrawStars(QPainter& painter, std::uint32_t seed, int count, double top, double bottom, double brightness)
{
    Scatter scatter(seed);
    for (int i = 0; i < count; ++i) {
        const QPointF at(scatter.Between(0.0, kSheet), scatter.Between(top, bottom));
        const double size = scatter.Between(0.0, 1.0);
        const int alpha = static_cast<int>(std::lround(std::min(1.0, brightness * (0.35 + 0.65 * size)) * 255.0));
        const QColor tint = size > 0.85 ? QColor(255, 244, 214, alpha) : QColor(230, 236, 255, alpha);
        if (size > 0.9) {
            DrawGlow(painter, at, 7.0, QColor(255, 250, 230, alpha / 3));
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(tint);
        const double radius = 0.5 + 1.3 * size * size;
        painter.drawEllipse(at, radius, radius);
    }
}

void DrawSparkle(QPainter& painter, QPointF center, double size, QColor color)
{
    DrawGlow(painter, center, size * 1.2, QColor(color.red(), color.green(), color.blue(), 150));
    QPainterPath rays;
    const double waist = size * 0.12;
    rays.moveTo(center.x(), center.y() - size);
    rays.quadTo(center.x() + waist, center.y() - waist, center.x() + size, center.y());
    rays.quadTo(center.x() + waist, center.y() + waist, center.x(), center.y() + size);
    rays.quadTo(center.x() - waist, center.y() + waist, center.x() - size, center.y());
    rays.quadTo(center.x() - waist, center.y() - waist, center.x(), center.y() - size);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 235));
    painter.drawPath(rays);
    DrawGlow(painter, center, size * 0.3, QColor(255, 255, 255, 255));
}

void DrawCloud(QPainter& painter, QPointF center, double size, QColor light, QColor shade)
{
    // Offsets and radii of the puffs, in units of `size`: a wide base and a rounded crown.
    static constexpr std::array<std::array<double, 3>, 9> kPuffs { {
        { -0.62, 0.10, 0.30 },
        { -0.32, -0.08, 0.38 },
        { 0.02, -0.22, 0.46 },
        { 0.38, -0.06, 0.38 },
        { 0.66, 0.12, 0.28 },
        { -0.40, 0.22, 0.26 },
        { 0.00, 0.18, 0.34 },
        { 0.40, 0.22, 0.26 },
        { 0.18, -0.34, 0.28 },
    } };
    QPainterPath body;
    body.setFillRule(Qt::WindingFill);
    for (const auto& [dx, dy, radius] : kPuffs) {
        body.addEllipse(QPointF(center.x() + dx * size, center.y() + dy * size), radius * size, radius * size);
    }
    body = body.simplified();
    DrawGlow(painter, center, size * 1.25, QColor(light.red(), light.green(), light.blue(), 60));
    QLinearGradient fill(0.0, center.y() - size * 0.7, 0.0, center.y() + size * 0.5);
    fill.setColorAt(0.0, light);
    fill.setColorAt(0.55, light.darker(110));
    fill.setColorAt(1.0, shade);
    painter.setPen(QPen(QColor(255, 255, 255, 110), size * 0.02));
    painter.setBrush(fill);
    painter.drawPath(body);
}

} // namespace miradel::content
