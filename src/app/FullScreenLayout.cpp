#include "app/FullScreenLayout.h"

#include "app/Layout.h"

#include <algorithm>
#include <cmath>

namespace miradel {

Window::PixelRect FullScreenArea(int screenWidth, int screenHeight, float twipsPerPixel)
{
    const int width = std::max(1, std::min(screenWidth, screenHeight * 3 / 2));
    const float heightTwips = LayoutHeightFor(static_cast<float>(width) * twipsPerPixel);
    const int height
        = std::clamp(static_cast<int>(std::lround(heightTwips / twipsPerPixel)), 1, std::max(1, screenHeight));
    return { (screenWidth - width) / 2, (screenHeight - height) / 2, width, height };
}

} // namespace miradel
