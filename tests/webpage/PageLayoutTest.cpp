// SPDX-License-Identifier: MIT
#include "web/PageLayout.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

// The viewport's height plays the screen's: the window area comes out as the desktop's inner
// area without a window manager, at the same base font size, centred in the viewport.
TEST(PageLayout, TheDesktopsWindowAtTheSameScreenHeights)
{
    const PageLayout at768 = LayOutPage(1366, 768);
    EXPECT_EQ(at768.window.width, 614);
    EXPECT_EQ(at768.window.height, 409);
    EXPECT_EQ(at768.window.x, (1366 - 614) / 2);
    EXPECT_EQ(at768.window.y, (768 - 409) / 2);
    EXPECT_FLOAT_EQ(at768.baseFontSize, 10);

    const PageLayout at1080 = LayOutPage(1920, 1080);
    EXPECT_EQ(at1080.window.width, 864);
    EXPECT_EQ(at1080.window.height, 576);
    EXPECT_EQ(at1080.window.x, 528);
    EXPECT_EQ(at1080.window.y, 252);
    EXPECT_FLOAT_EQ(at1080.baseFontSize, 12);
}

// A viewport too narrow for that window gets the widest one of the same proportions.
TEST(PageLayout, ANarrowViewportGetsTheWidestWindowThatFits)
{
    const PageLayout layout = LayOutPage(500, 1080);
    EXPECT_EQ(layout.window.width, 500);
    EXPECT_EQ(layout.window.height, 333);
    EXPECT_EQ(layout.window.x, 0);
    EXPECT_FLOAT_EQ(layout.baseFontSize, 8);
}

// The controls fill the 3 x 2 block inside a margin of 0.1 unit; neighbours touch.
TEST(PageLayout, ControlsTouchInsideTheMargin)
{
    const PageLayout layout = LayOutPage(1920, 1080);
    // 864 / 3.2 = 270 pixels a unit across, 576 / 2.2 about 261.8 down.
    EXPECT_EQ(layout.message.x, 27);
    EXPECT_EQ(layout.message.width, 540);
    EXPECT_EQ(layout.message.y, 26);
    EXPECT_EQ(layout.picture.x, layout.message.x + layout.message.width);
    EXPECT_EQ(layout.picture.width, 270);
    EXPECT_EQ(layout.day.y, layout.picture.y + layout.picture.height);
    EXPECT_EQ(layout.day.x, layout.picture.x);
    EXPECT_EQ(layout.nextDay.x, layout.message.x);
    EXPECT_EQ(layout.nextDay.width, 135);
    for (std::size_t i = 0; i + 1 < layout.choices.size(); ++i)
        EXPECT_EQ(layout.choices[i].y + layout.choices[i].height, layout.choices[i + 1].y) << i;
    EXPECT_EQ(layout.choices[0].y, layout.message.y);
    EXPECT_EQ(layout.message.y + layout.message.height, layout.window.height - 26);
}

} // namespace
} // namespace miradel
