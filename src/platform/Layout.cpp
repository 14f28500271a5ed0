// SPDX-License-Identifier: MIT
#include "platform/Layout.h"

#include <algorithm>
#include <cmath>

namespace miradel {

float LayoutWidthFor(float screenHeightTwips)
{
    return static_cast<float>(static_cast<double>(screenHeightTwips) / 5 * 4);
}

float LayoutWidthFor(float screenHeightTwips, float availableWidthTwips, float availableHeightTwips)
{
    const float width = LayoutWidthFor(screenHeightTwips);
    // The height is two thirds of the width, so the area's height allows half as much again.
    const float widest = std::min(availableWidthTwips, availableHeightTwips / 2 * 3);
    return width <= widest ? width : widest;
}

float LayoutHeightFor(float appliedWidthTwips)
{
    return appliedWidthTwips / 3 * 2;
}

float BaseFontSizeFor(float appliedHeightTwips)
{
    return std::floor(appliedHeightTwips / 100 / 10) + 4;
}

PixelRect ToPixels(const PixelRect& area, const UserScale& scale, const LayoutRect& rect)
{
    const double scaleX = area.width / static_cast<double>(scale.width);
    const double scaleY = area.height / static_cast<double>(scale.height);
    const auto x0 = std::lround((rect.left - scale.left) * scaleX);
    const auto y0 = std::lround((rect.top - scale.top) * scaleY);
    const auto x1 = std::lround((rect.left + rect.width - scale.left) * scaleX);
    const auto y1 = std::lround((rect.top + rect.height - scale.top) * scaleY);
    return { area.x + static_cast<int>(x0), area.y + static_cast<int>(y0), static_cast<int>(x1 - x0),
        static_cast<int>(y1 - y0) };
}

} // namespace miradel
