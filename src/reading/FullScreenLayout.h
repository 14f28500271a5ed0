// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Layout.h"

namespace miradel {

// Where the game lies on a full screen: the window's layout, worked out for the largest area
// of its proportions (two thirds as tall as wide) that fits the screen, centred. The area
// takes the place of the window's outer size: its width in whole pixels, its height two
// thirds of that width, so that the base font size follows from its height as in a window.
PixelRect FullScreenArea(int screenWidth, int screenHeight, float twipsPerPixel);

} // namespace miradel
