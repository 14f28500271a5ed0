// SPDX-License-Identifier: MIT
#include "reading/FullScreenLayout.h"
#include "platform/Layout.h"

#include <gtest/gtest.h>

#include <tuple>

namespace miradel::test {
namespace {

// Worked by hand at 96 dots per inch (15 twips a pixel): the area is as wide as the screen
// allows at 3:2, its height two thirds of that width, the base font from that height.
TEST(FullScreenArea, CommonScreens)
{
    struct Screen {
        const char* name;
        int width, height;
        PixelRect area;
        float baseFont;
    };
    const Screen screens[] = {
        // 16:9: the height limits; 1620 wide, 150 pixels of margin each side.
        { "1920x1080", 1920, 1080, { 150, 0, 1620, 1080 }, 20 },
        // 4:3: the width limits; 682.67 pixels tall, rounded to 683, 42 above and 43 below.
        { "1024x768", 1024, 768, { 0, 42, 1024, 683 }, 14 },
        { "1600x1200", 1600, 1200, { 0, 66, 1600, 1067 }, 20 },
        // 16:10: the height limits.
        { "1280x800", 1280, 800, { 40, 0, 1200, 800 }, 16 },
        // A portrait screen: the width limits.
        { "800x1280", 800, 1280, { 0, 373, 800, 533 }, 11 },
    };
    for (const Screen& screen : screens) {
        const PixelRect area = FullScreenArea(screen.width, screen.height, 15);
        EXPECT_EQ(std::tie(area.x, area.y, area.width, area.height),
            std::tie(screen.area.x, screen.area.y, screen.area.width, screen.area.height))
            << screen.name;
        EXPECT_FLOAT_EQ(BaseFontSizeFor(static_cast<float>(area.height) * 15), screen.baseFont) << screen.name;
    }
}

TEST(FullScreenArea, AtOtherDensitiesTheProportionsHold)
{
    // 144 dots per inch: 10 twips a pixel. The same pixels give the same area.
    const PixelRect area = FullScreenArea(2880, 1800, 10);
    EXPECT_EQ(area.width, 2700);
    EXPECT_EQ(area.height, 1800);
    EXPECT_EQ(area.x, 90);
    // A screen of nothing still gives an area to lay out over.
    const PixelRect none = FullScreenArea(0, 0, 15);
    EXPECT_GE(none.width, 1);
    EXPECT_GE(none.height, 1);
}

} // namespace
} // namespace miradel::test
