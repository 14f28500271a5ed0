// SPDX-License-Identifier: MIT
#include "app/Layout.h"

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

} // namespace miradel
