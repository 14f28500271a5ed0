// SPDX-License-Identifier: MIT
#pragma once

namespace miradel {

// The arithmetic of a layout run, apart from the window it is applied to: the desktop window
// and the page in a browser both lay themselves out with it.

// The window's outer width from the screen height, and its height from the width that the
// window really took (both in twips).
float LayoutWidthFor(float screenHeightTwips);
// The same on a screen whose available area (without panels) may be too narrow or too low for
// that window: there it is the widest window of the same proportions that fits.
float LayoutWidthFor(float screenHeightTwips, float availableWidthTwips, float availableHeightTwips);
float LayoutHeightFor(float appliedWidthTwips);
// The base font size in points, from the outer height that the window really took.
float BaseFontSizeFor(float appliedHeightTwips);

// The user scale laid over the window's inner area: the left and top edges are at
// (left, top), the right and bottom edges at (left + width, top + height).
struct UserScale {
    float left = 0;
    float top = 0;
    float width = 1;
    float height = 1;
};

// The user scale over the inner area: a 3 x 2 block of controls with a margin of 0.1.
constexpr UserScale kLayoutScale { -0.1f, -0.1f, 3.2f, 2.2f };

struct LayoutRect {
    float left, top, width, height;
};
constexpr LayoutRect kMessageArea { 0, 0, 2, 2 };
constexpr LayoutRect kNextDayButton { 0, 0, 0.5f, 0.5f };
constexpr LayoutRect kDayLabel { 2, 1, 1, 0.5f };
constexpr LayoutRect kPictureArea { 2, 0, 1, 1 };
// Choice button i: a column of touching buttons at the top left.
constexpr LayoutRect ChoiceButtonRect(int index)
{
    return { 0, 0.3f * static_cast<float>(index), 0.5f, 0.3f };
}

// Whole pixels, as the screen has them.
struct PixelRect {
    int x, y, width, height;
};

// Where a rectangle in the user scale `scale` lies in the pixels of `area`, the area that the
// scale spans. Each edge is rounded on its own, so that controls that touch in layout units
// touch on the screen too.
PixelRect ToPixels(const PixelRect& area, const UserScale& scale, const LayoutRect& rect);

} // namespace miradel
