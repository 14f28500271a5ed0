// SPDX-License-Identifier: MIT
#include "reading/FullScreenLayout.h"

#include "platform/Layout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace miradel {

PixelRect FullScreenArea(int screenWidth, int screenHeight, float twipsPerPixel)
{
    // The widest window of the layout's proportions that fits the screen, as on a screen too
    // small for the window; full screen, the screen's height sets no other limit.
    const float widest = LayoutWidthFor(std::numeric_limits<float>::infinity(),
        static_cast<float>(screenWidth) * twipsPerPixel, static_cast<float>(screenHeight) * twipsPerPixel);
    const int width = std::clamp(static_cast<int>(std::lround(widest / twipsPerPixel)), 1, std::max(1, screenWidth));
    const float heightTwips = LayoutHeightFor(static_cast<float>(width) * twipsPerPixel);
    const int height
        = std::clamp(static_cast<int>(std::lround(heightTwips / twipsPerPixel)), 1, std::max(1, screenHeight));
    return { (screenWidth - width) / 2, (screenHeight - height) / 2, width, height };
}

} // namespace miradel
