// SPDX-License-Identifier: MIT
#include "web/PageLayout.h"

#include "reading/FullScreenLayout.h"

#include <algorithm>
#include <cmath>

namespace miradel {

// Sizes set in twips come back in whole pixels, as a window's do.
static int WholePixels(float twips)
{
    return static_cast<int>(std::clamp(std::lround(static_cast<double>(twips) / kPageTwipsPerPixel), 1L, 16384L));
}

PageLayout LayOutPage(int viewportWidth, int viewportHeight, bool fullScreen)
{
    PageLayout layout;
    if (fullScreen) {
        layout.window = FullScreenArea(viewportWidth, viewportHeight, kPageTwipsPerPixel);
    } else {
        const float screenHeight = static_cast<float>(std::max(viewportHeight, 1)) * kPageTwipsPerPixel;
        const float availableWidth = static_cast<float>(std::max(viewportWidth, 1)) * kPageTwipsPerPixel;
        const int width = WholePixels(LayoutWidthFor(screenHeight, availableWidth, screenHeight));
        const int height = WholePixels(LayoutHeightFor(static_cast<float>(width) * kPageTwipsPerPixel));
        layout.window
            = { std::max(0, (viewportWidth - width) / 2), std::max(0, (viewportHeight - height) / 2), width, height };
    }
    const int width = layout.window.width;
    const int height = layout.window.height;
    layout.baseFontSize = BaseFontSizeFor(static_cast<float>(height) * kPageTwipsPerPixel);
    const PixelRect area { 0, 0, width, height };
    layout.message = ToPixels(area, kLayoutScale, kMessageArea);
    layout.nextDay = ToPixels(area, kLayoutScale, kNextDayButton);
    layout.day = ToPixels(area, kLayoutScale, kDayLabel);
    layout.picture = ToPixels(area, kLayoutScale, kPictureArea);
    for (int i = 0; i < static_cast<int>(layout.choices.size()); ++i)
        layout.choices[static_cast<std::size_t>(i)] = ToPixels(area, kLayoutScale, ChoiceButtonRect(i));
    return layout;
}

} // namespace miradel
