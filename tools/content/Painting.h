// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QPainter>
#include <QPointF>

#include <cstdint>
#include <initializer_list>
#include <utility>

namespace miradel::content {

// Every picture is drawn on a square sheet of kSheet × kSheet units and stored stretched to
// 640 × 480, because the player squeezes each picture into a nearly square area: circles
// drawn here come out round on screen.
inline constexpr double kSheet = 480.0;
inline constexpr int kPictureWidth = 640;
inline constexpr int kPictureHeight = 480;

// A small fixed-sequence generator, so that every build paints the same stars.
class Scatter {
public:
    explicit Scatter(std::uint32_t seed)
        : m_state(seed)
    {
    }
    // Uniform in [low, high).
    double Between(double low, double high);

private:
    std::uint32_t m_state;
};

using ColorStop = std::pair<double, QColor>;

void FillVertical(QPainter& painter, std::initializer_list<ColorStop> stops, double top = 0.0, double bottom = kSheet);
void DrawGlow(QPainter& painter, QPointF center, double radius, QColor color);
// Scatters `count` stars over the band from `top` to `bottom`, brighter ones with a halo.
void DrawStars(QPainter& painter, std::uint32_t seed, int count, double top, double bottom, double brightness = 1.0);
// A four-pointed glint with a halo, the mark of a blink frame.
void DrawSparkle(QPainter& painter, QPointF center, double size, QColor color);
// A soft heap of round puffs.
void DrawCloud(QPainter& painter, QPointF center, double size, QColor light, QColor shade);

} // namespace miradel::content
