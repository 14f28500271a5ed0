// SPDX-License-Identifier: MIT
#include "MessageAreaMeasure.h"

#include "platform/Layout.h"

#include <QApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>

#include <climits>
#include <cmath>

namespace miradel::check {

namespace {

constexpr double kTwipsPerPixel = 15;
// A fixed single frame with a title bar at 96 dots per inch: 3 pixels of border on every
// side and a 23-pixel caption. The window's outer size includes it.
constexpr int kFrameWidthPixels = 6;
constexpr int kFrameHeightPixels = 29;
constexpr double kDotsPerMeterAt96Dpi = 96 / 0.0254;
// Lines estimated narrower than this share of the area cannot wrap, whatever the kerning.
constexpr double kSureFit = 0.97;
const QString kWaitMark = QStringLiteral("\u25BC");

} // namespace

struct MessageAreaMeasure::Metrics {
    Metrics()
        : device(1, 1, QImage::Format_RGB32)
    {
        device.setDotsPerMeterX(static_cast<int>(std::lround(kDotsPerMeterAt96Dpi)));
        device.setDotsPerMeterY(static_cast<int>(std::lround(kDotsPerMeterAt96Dpi)));
        const float outerWidth = LayoutWidthFor(static_cast<float>(kScreenHeightPixels * kTwipsPerPixel));
        const float outerHeight = LayoutHeightFor(outerWidth);
        points = BaseFontSizeFor(outerHeight);
        const double innerWidth = std::round(outerWidth / kTwipsPerPixel) - kFrameWidthPixels;
        const double innerHeight = std::round(outerHeight / kTwipsPerPixel) - kFrameHeightPixels;
        width = static_cast<int>(innerWidth * kMessageArea.width / kLayoutScale.width);
        height = static_cast<int>(innerHeight * kMessageArea.height / kLayoutScale.height);
        font = QApplication::font();
        font.setPointSizeF(points);
        metrics = std::make_unique<QFontMetricsF>(font, &device);
        advances.assign(0x10000, -1);
    }

    double Advance(char16_t c)
    {
        float& known = advances[c];
        if (known < 0)
            known = static_cast<float>(metrics->horizontalAdvance(QChar(c)));
        return known;
    }

    // The rows one line takes: wrapping is only measured for lines that may need it.
    int RowsOf(TextView line, bool marked)
    {
        double estimate = marked ? Advance(u'\u25BC') : 0;
        for (char16_t c : line)
            estimate += Advance(c);
        if (estimate <= width * kSureFit)
            return 1;
        QString text = QString::fromUtf16(line.data(), static_cast<qsizetype>(line.size()));
        if (marked)
            text += kWaitMark;
        const QRectF box
            = metrics->boundingRect(QRectF(0, 0, width, INT_MAX / 2), Qt::AlignLeft | Qt::TextWordWrap, text);
        return std::max(1, static_cast<int>(std::lround(box.height() / metrics->lineSpacing())));
    }

    double HeightOfRows(int rows) const { return metrics->height() + (rows - 1) * metrics->lineSpacing(); }

    QImage device;
    float points = 0;
    int width = 0;
    int height = 0;
    QFont font;
    std::unique_ptr<QFontMetricsF> metrics;
    std::vector<float> advances;
};

MessageAreaMeasure::MessageAreaMeasure()
    : m_metrics(std::make_unique<Metrics>())
{
}

MessageAreaMeasure::~MessageAreaMeasure() = default;

bool MessageAreaMeasure::Fits(const std::vector<TextView>& lines, bool marked) const
{
    // The page begins with an empty line; the marker follows its last line.
    int rows = 1;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        rows += m_metrics->RowsOf(lines[i], marked && i + 1 == lines.size());
        if (m_metrics->HeightOfRows(rows) > m_metrics->height)
            return false;
    }
    return true;
}

int MessageAreaMeasure::WidthPixels() const
{
    return m_metrics->width;
}

int MessageAreaMeasure::HeightPixels() const
{
    return m_metrics->height;
}

float MessageAreaMeasure::FontPoints() const
{
    return m_metrics->points;
}

} // namespace miradel::check
