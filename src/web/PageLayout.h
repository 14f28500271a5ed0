// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Layout.h"

#include <array>

namespace miradel {

// A CSS pixel is 1/96 inch, so a pixel of the page is 15 twips, as at 96 dots per inch.
inline constexpr float kPageTwipsPerPixel = 15;

// The window laid out in a browser's viewport: the viewport's height plays the screen's height
// and its size the screen's available area; there is no frame, so the outer size is the inner
// area. The area is centred in the viewport; the controls' rectangles are relative to it.
struct PageLayout {
    PixelRect window;
    float baseFontSize = 0;
    PixelRect message;
    PixelRect nextDay;
    PixelRect day;
    PixelRect picture;
    std::array<PixelRect, 4> choices;
};

// Full screen, the viewport is the screen: the area is the window's layout for the largest area
// of its proportions that fits, centred, as on the desktop.
PageLayout LayOutPage(int viewportWidth, int viewportHeight, bool fullScreen = false);

} // namespace miradel
