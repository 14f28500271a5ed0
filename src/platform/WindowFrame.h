// SPDX-License-Identifier: MIT
#pragma once

#include <optional>

class QWidget;

namespace miradel {

// The window manager's frame around the inner area, title bar included, in pixels.
struct FrameExtents {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return left + right; }
    int Height() const { return top + bottom; }
    bool operator==(const FrameExtents&) const = default;
};

// The frame that `window` will get once it is shown, asked for before it is mapped so that
// the first frame on the screen already has the right outer size. Nothing when the window
// system cannot tell beforehand; the frame is then learnt once the window is mapped.
// Creates the native window.
std::optional<FrameExtents> FrameBeforeMapping(QWidget& window);

} // namespace miradel
