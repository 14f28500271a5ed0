// SPDX-License-Identifier: MIT
#include "Pictures.h"

#include "Painting.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <utility>

namespace miradel::content {

namespace {

constexpr QColor kSilverThread(216, 224, 240);
constexpr QColor kGoldThread(240, 200, 96);
constexpr QColor kPearlThread(246, 226, 240);

void DrawThread(QPainter& painter, QPointF from, QPointF bend1, QPointF bend2, QPointF to, QColor color)
{
    QPainterPath path(from);
    path.cubicTo(bend1, bend2, to);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(color.red(), color.green(), color.blue(), 50), 7.0, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(path);
    painter.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(path);
}

void DrawHill(QPainter& painter, double baseY, double crestY, double crestX, QColor color)
{
    QPainterPath hill(QPointF(0.0, kSheet));
    hill.lineTo(0.0, baseY);
    hill.quadTo(crestX, crestY - (baseY - crestY), kSheet, baseY + 10.0);
    hill.lineTo(kSheet, kSheet);
    hill.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(hill);
}

// The weaver's tower: a slim body, a pointed roof and one warm window.
void DrawTower(QPainter& painter, QPointF foot, double height, QColor body)
{
    const double width = height * 0.22;
    painter.setPen(Qt::NoPen);
    painter.setBrush(body);
    painter.drawRect(QRectF(foot.x() - width / 2, foot.y() - height, width, height));
    QPainterPath roof(QPointF(foot.x() - width * 0.7, foot.y() - height));
    roof.lineTo(foot.x(), foot.y() - height * 1.35);
    roof.lineTo(foot.x() + width * 0.7, foot.y() - height);
    roof.closeSubpath();
    painter.drawPath(roof);
    const QPointF window(foot.x(), foot.y() - height * 0.78);
    DrawGlow(painter, window, height * 0.35, QColor(255, 190, 110, 120));
    painter.setBrush(QColor(255, 214, 140));
    painter.drawRoundedRect(
        QRectF(window.x() - width * 0.2, window.y() - width * 0.28, width * 0.4, width * 0.56), 3, 3);
}

// A ball lit from the upper left: a radial gradient through `stops`, its focus `light` (in
// radii) up and left of the centre, filled without an outline.
void DrawLitBall(QPainter& painter, QPointF center, double radius, QPointF light, double spread,
    std::initializer_list<std::pair<double, QColor>> stops)
{
    QRadialGradient gradient(center - QPointF(radius * light.x(), radius * light.y()), radius * spread);
    for (const auto& [at, color] : stops)
        gradient.setColorAt(at, color);
    painter.setPen(Qt::NoPen);
    painter.setBrush(gradient);
    painter.drawEllipse(center, radius, radius);
}

void DrawMoon(QPainter& painter, QPointF center, double radius)
{
    DrawGlow(painter, center, radius * 2.6, QColor(255, 214, 120, 70));
    DrawGlow(painter, center, radius * 1.5, QColor(255, 226, 150, 90));
    DrawLitBall(painter, center, radius, { 0.3, 0.3 }, 1.4,
        { { 0.0, QColor(255, 246, 200) }, { 0.55, QColor(246, 204, 96) }, { 1.0, QColor(214, 156, 52) } });
    // Soft seas on the face.
    static constexpr std::array<std::array<double, 3>, 4> kSeas { {
        { -0.35, -0.20, 0.22 },
        { 0.25, 0.10, 0.28 },
        { -0.10, 0.42, 0.16 },
        { 0.42, -0.38, 0.12 },
    } };
    for (const auto& [dx, dy, size] : kSeas) {
        DrawGlow(painter, center + QPointF(dx * radius, dy * radius), size * radius, QColor(190, 130, 40, 70));
    }
}

void DrawPearl(QPainter& painter, QPointF center, double radius)
{
    DrawGlow(painter, center, radius * 2.4, QColor(255, 220, 240, 70));
    DrawLitBall(painter, center, radius, { 0.35, 0.4 }, 1.5,
        { { 0.0, QColor(255, 255, 255) }, { 0.35, QColor(250, 236, 242) }, { 0.75, QColor(214, 206, 232) },
            { 1.0, QColor(160, 160, 200) } });
    // The play of colours on nacre: a faint ring of pink, green and blue.
    QConicalGradient sheen(center, 30.0);
    sheen.setColorAt(0.0, QColor(255, 170, 210, 60));
    sheen.setColorAt(0.33, QColor(170, 255, 220, 50));
    sheen.setColorAt(0.66, QColor(170, 200, 255, 60));
    sheen.setColorAt(1.0, QColor(255, 170, 210, 60));
    painter.setBrush(sheen);
    painter.drawEllipse(center, radius, radius);
    DrawGlow(painter, center - QPointF(radius * 0.38, radius * 0.42), radius * 0.28, QColor(255, 255, 255, 230));
}

void DrawShell(QPainter& painter, QPointF hinge, double radius)
{
    constexpr int kRibs = 9;
    for (int rib = 0; rib < kRibs; ++rib) {
        const double from = 200.0 + rib * (140.0 / kRibs);
        QPainterPath slice(hinge);
        slice.arcTo(QRectF(hinge.x() - radius, hinge.y() - radius, radius * 2, radius * 2), -from, -140.0 / kRibs);
        slice.closeSubpath();
        QRadialGradient shade(hinge, radius);
        shade.setColorAt(0.0, QColor(120, 90, 130));
        shade.setColorAt(1.0, rib % 2 == 0 ? QColor(236, 200, 220) : QColor(214, 180, 214));
        painter.setPen(QPen(QColor(110, 80, 120, 140), 1.2));
        painter.setBrush(shade);
        painter.drawPath(slice);
    }
}

void DrawRainbow(QPainter& painter, QPointF center, double radius)
{
    static constexpr std::array<QColor, 6> kBands {
        QColor(255, 110, 110, 70),
        QColor(255, 180, 90, 70),
        QColor(255, 236, 110, 70),
        QColor(130, 220, 130, 70),
        QColor(110, 170, 255, 70),
        QColor(170, 120, 230, 70),
    };
    painter.setBrush(Qt::NoBrush);
    for (std::size_t band = 0; band < kBands.size(); ++band) {
        const double r = radius - static_cast<double>(band) * 7.0;
        painter.setPen(QPen(kBands[band], 7.5));
        painter.drawArc(QRectF(center.x() - r, center.y() - r, r * 2, r * 2), 0, 180 * 16);
    }
}

void PaintTitle(QPainter& painter, Frame)
{
    FillVertical(painter, { { 0.0, QColor(10, 14, 46) }, { 0.55, QColor(44, 34, 96) }, { 1.0, QColor(120, 80, 140) } });
    DrawStars(painter, 101, 160, 0.0, 330.0);
    QPainterPath crescent;
    crescent.addEllipse(QPointF(360, 96), 34, 34);
    QPainterPath bite;
    bite.addEllipse(QPointF(376, 86), 30, 30);
    DrawGlow(painter, QPointF(360, 96), 80, QColor(255, 230, 160, 60));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 232, 170));
    painter.drawPath(crescent.subtracted(bite));
    DrawThread(painter, { 150, 296 }, { 150, 200 }, { 60, 160 }, { 40, 40 }, kSilverThread);
    DrawThread(painter, { 154, 296 }, { 190, 190 }, { 300, 170 }, { 330, 120 }, kGoldThread);
    DrawThread(painter, { 152, 296 }, { 170, 220 }, { 200, 110 }, { 230, 20 }, kPearlThread);
    DrawHill(painter, 420, 380, 200, QColor(36, 26, 60));
    DrawHill(painter, 400, 350, 140, QColor(20, 14, 36));
    DrawTower(painter, { 152, 372 }, 100, QColor(20, 14, 36));
}

void PaintSilverCloud(QPainter& painter, Frame frame)
{
    FillVertical(
        painter, { { 0.0, QColor(22, 36, 86) }, { 0.6, QColor(64, 88, 146) }, { 1.0, QColor(132, 146, 190) } });
    DrawStars(painter, 202, 70, 0.0, 200.0, 0.8);
    DrawCloud(painter, { 120, 380 }, 70, QColor(196, 204, 226), QColor(120, 130, 168));
    DrawCloud(painter, { 240, 250 }, 150, QColor(248, 250, 255), QColor(150, 162, 196));
    DrawCloud(painter, { 400, 130 }, 46, QColor(224, 230, 246), QColor(150, 160, 196));
    if (frame == Frame::Blink) {
        DrawSparkle(painter, { 272, 150 }, 30, QColor(230, 240, 255));
        DrawSparkle(painter, { 90, 70 }, 16, QColor(230, 240, 255));
        DrawSparkle(painter, { 420, 200 }, 12, QColor(230, 240, 255));
    }
}

void PaintGoldenMoon(QPainter& painter, Frame frame)
{
    FillVertical(painter, { { 0.0, QColor(6, 10, 36) }, { 0.7, QColor(22, 28, 76) }, { 1.0, QColor(44, 44, 96) } });
    DrawStars(painter, 303, 180, 0.0, kSheet);
    DrawMoon(painter, { 240, 230 }, 100);
    DrawCloud(painter, { 110, 400 }, 50, QColor(70, 70, 120, 200), QColor(40, 40, 86, 200));
    DrawCloud(painter, { 400, 380 }, 40, QColor(80, 76, 126, 200), QColor(44, 42, 90, 200));
    if (frame == Frame::Blink) {
        DrawSparkle(painter, { 318, 166 }, 34, QColor(255, 230, 150));
        DrawSparkle(painter, { 70, 90 }, 14, QColor(255, 240, 200));
        DrawSparkle(painter, { 430, 60 }, 12, QColor(255, 240, 200));
    }
}

void PaintEmptyNight(QPainter& painter, Frame frame)
{
    FillVertical(
        painter, { { 0.0, QColor(4, 6, 14) }, { 0.5, QColor(16, 22, 44) }, { 0.7, QColor(38, 48, 78) } }, 0.0, 330.0);
    FillVertical(painter, { { 0.0, QColor(24, 32, 56) }, { 1.0, QColor(6, 8, 16) } }, 330.0, kSheet);
    DrawGlow(painter, { 240, 330 }, 220, QColor(70, 84, 120, 40));
    painter.setPen(QPen(QColor(120, 134, 170, 90), 1.0));
    painter.drawLine(QPointF(0, 330), QPointF(kSheet, 330));
    DrawStars(painter, 404, 14, 0.0, 300.0, 0.55);
    if (frame == Frame::Blink) {
        DrawSparkle(painter, { 300, 120 }, 26, QColor(210, 220, 255));
        DrawGlow(painter, { 300, 450 }, 14, QColor(200, 210, 255, 120));
    }
}

void PaintLoomRoom(QPainter& painter, Frame frame)
{
    FillVertical(painter, { { 0.0, QColor(52, 34, 28) }, { 1.0, QColor(22, 14, 12) } });
    DrawGlow(painter, { 40, 300 }, 200, QColor(255, 170, 90, 70));
    // The arched window and its sky.
    QPainterPath window;
    window.moveTo(150, 300);
    window.lineTo(150, 130);
    window.arcTo(QRectF(150, 40, 180, 180), 180, -180);
    window.lineTo(330, 300);
    window.closeSubpath();
    painter.save();
    painter.setClipPath(window);
    FillVertical(painter, { { 0.0, QColor(14, 18, 56) }, { 1.0, QColor(60, 54, 110) } }, 40, 300);
    DrawStars(painter, 505, 60, 40, 300);
    DrawGlow(painter, { 290, 110 }, 40, QColor(255, 230, 160, 120));
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(90, 60, 44), 8));
    painter.drawPath(window);
    painter.drawLine(QPointF(240, 40), QPointF(240, 300));
    // The loom in front: two beams and its warp of silver, gold and pearl threads.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(104, 70, 46));
    painter.drawRoundedRect(QRectF(60, 250, 360, 16), 5, 5);
    painter.drawRoundedRect(QRectF(60, 430, 360, 18), 5, 5);
    painter.drawRect(QRectF(70, 250, 14, 210));
    painter.drawRect(QRectF(396, 250, 14, 210));
    static constexpr std::array<QColor, 3> kWarp { kSilverThread, kGoldThread, kPearlThread };
    for (int thread = 0; thread < 27; ++thread) {
        const double x = 100 + thread * 11.0;
        QColor color = kWarp[static_cast<std::size_t>(thread % 3)];
        color.setAlpha(200);
        painter.setPen(QPen(color, 1.4));
        painter.drawLine(QPointF(x, 266), QPointF(x, 430));
    }
    // The first rows of cloth already woven.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(214, 206, 236, 200));
    painter.drawRect(QRectF(96, 396, 290, 34));
    painter.setBrush(QColor(240, 200, 96, 160));
    painter.drawRect(QRectF(96, 404, 290, 6));
    if (frame == Frame::Blink) {
        DrawSparkle(painter, { 199, 330 }, 22, QColor(255, 236, 170));
        DrawSparkle(painter, { 200, 90 }, 14, QColor(230, 236, 255));
    }
}

void PaintPearl(QPainter& painter, Frame frame)
{
    FillVertical(painter, { { 0.0, QColor(10, 24, 44) }, { 0.6, QColor(26, 52, 84) }, { 1.0, QColor(40, 40, 74) } });
    DrawStars(painter, 606, 50, 0.0, 260.0, 0.7);
    DrawShell(painter, { 240, 440 }, 190);
    DrawPearl(painter, { 240, 300 }, 80);
    Scatter bubbles(607);
    for (int bubble = 0; bubble < 14; ++bubble) {
        const QPointF at(bubbles.Between(40, 440), bubbles.Between(40, 220));
        const double radius = bubbles.Between(2, 6);
        painter.setPen(QPen(QColor(220, 236, 255, 120), 1.0));
        painter.setBrush(QColor(220, 236, 255, 30));
        painter.drawEllipse(at, radius, radius);
    }
    if (frame == Frame::Blink) {
        DrawSparkle(painter, { 212, 268 }, 36, QColor(255, 230, 245));
        DrawSparkle(painter, { 120, 170 }, 20, QColor(230, 255, 245));
        DrawSparkle(painter, { 370, 120 }, 16, QColor(255, 236, 250));
    }
}

void PaintRainbowMorning(QPainter& painter, Frame)
{
    FillVertical(
        painter, { { 0.0, QColor(120, 170, 224) }, { 0.7, QColor(210, 226, 240) }, { 1.0, QColor(246, 230, 214) } });
    DrawRainbow(painter, { 260, 380 }, 230);
    DrawCloud(painter, { 100, 110 }, 60, QColor(255, 255, 255), QColor(200, 208, 226));
    DrawCloud(painter, { 380, 80 }, 44, QColor(250, 252, 255), QColor(206, 212, 230));
    DrawHill(painter, 400, 330, 330, QColor(122, 170, 104));
    DrawHill(painter, 430, 380, 120, QColor(84, 136, 78));
    Scatter drops(708);
    for (int drop = 0; drop < 40; ++drop) {
        const QPointF at(drops.Between(0, kSheet), drops.Between(380, kSheet));
        DrawGlow(painter, at, drops.Between(2, 5), QColor(255, 255, 255, 200));
    }
}

void PaintMoonlitSea(QPainter& painter, Frame)
{
    FillVertical(painter, { { 0.0, QColor(8, 12, 40) }, { 1.0, QColor(40, 40, 92) } }, 0.0, 300.0);
    FillVertical(painter, { { 0.0, QColor(30, 34, 78) }, { 1.0, QColor(8, 10, 30) } }, 300.0, kSheet);
    DrawStars(painter, 809, 120, 0.0, 280.0);
    DrawMoon(painter, { 240, 190 }, 70);
    // The moon's road on the water: broken strokes that widen towards the viewer.
    Scatter ripples(810);
    for (int row = 0; row < 60; ++row) {
        const double y = 304 + row * 2.9;
        const double spread = 8 + row * 1.6;
        for (int stroke = 0; stroke < 3; ++stroke) {
            const double centre = 240 + ripples.Between(-spread, spread);
            const double half = ripples.Between(3, 6 + row * 0.35);
            const int alpha = static_cast<int>(ripples.Between(90, 220)) - row * 2;
            painter.setPen(QPen(QColor(255, 216, 126, std::max(alpha, 30)), 1.3, Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(QPointF(centre - half, y), QPointF(centre + half, y));
        }
    }
    // A small boat coming home, with its lantern lit.
    QPainterPath hull(QPointF(300, 392));
    hull.lineTo(372, 392);
    hull.quadTo(364, 410, 346, 412);
    hull.lineTo(320, 412);
    hull.quadTo(306, 408, 300, 392);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(14, 12, 26));
    painter.drawPath(hull);
    painter.setPen(QPen(QColor(14, 12, 26), 2.0));
    painter.drawLine(QPointF(334, 392), QPointF(334, 340));
    DrawGlow(painter, { 342, 350 }, 18, QColor(255, 200, 110, 200));
}

void PaintDawn(QPainter& painter, Frame)
{
    FillVertical(painter,
        { { 0.0, QColor(30, 44, 100) }, { 0.45, QColor(150, 120, 170) }, { 0.75, QColor(246, 170, 150) },
            { 1.0, QColor(255, 214, 150) } });
    DrawGlow(painter, { 240, 370 }, 200, QColor(255, 230, 170, 160));
    DrawStars(painter, 911, 16, 0.0, 120.0, 0.6);
    DrawGlow(painter, { 360, 70 }, 16, QColor(255, 255, 255, 200));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255));
    painter.drawEllipse(QPointF(360, 70), 2.4, 2.4);
    DrawHill(painter, 380, 356, 240, QColor(70, 56, 86));
    DrawTower(painter, { 120, 372 }, 54, QColor(60, 46, 74));
}

constexpr std::array kPictures {
    PictureRecipe { "ttl", PaintTitle, false },
    PictureRecipe { "0", PaintSilverCloud, true },
    PictureRecipe { "1", PaintGoldenMoon, true },
    PictureRecipe { "2", PaintEmptyNight, true },
    PictureRecipe { "3", PaintLoomRoom, true },
    PictureRecipe { "4", PaintPearl, true },
    PictureRecipe { "end0", PaintRainbowMorning, false },
    PictureRecipe { "end1", PaintMoonlitSea, false },
    PictureRecipe { "end2", PaintDawn, false },
};

} // namespace

std::span<const PictureRecipe> AllPictures()
{
    return kPictures;
}

} // namespace miradel::content
