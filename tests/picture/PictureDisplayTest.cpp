// SPDX-License-Identifier: MIT
#include "platform/RuntimeError.h"
#include "support/HeadlessFixture.h"

#include <gtest/gtest.h>

namespace miradel::test {
namespace {

// Over the headless window: which file the buffer holds and which picture the area shows.
TEST(PictureDisplay, DayAndChoicePicturesBlinkOnLowDraws)
{
    HeadlessFixture fixture;
    PictureDisplay& pictures = fixture.game.pictures;
    fixture.content.AddPicture(u"ttl_");
    fixture.WriteScene("opn", { "a", "b", "c", "d", "e", ">img 3", "f" });
    fixture.Start();
    const auto shown = [&] { return TextToUtf8(fixture.view.bufferPicture + u" as " + fixture.view.shownPicture); };

    // "_" is the blink frame of the current picture; the empty name repaints the buffer.
    pictures.ShowPicture(u"_");
    pictures.ShowPicture(u"");
    EXPECT_EQ(shown(), "ttl_ as ttl");
    for (const char16_t* still : { u"ttl", u"end1" }) {
        pictures.ShowPicture(still);
        const int draws = fixture.random.Draws();
        fixture.game.TimSay_Timer();
        EXPECT_EQ(fixture.random.Draws(), draws) << TextToUtf8(still) << " never blinks";
    }
    pictures.ShowPicture(u"0");
    fixture.random.QueueDraw(20);
    fixture.game.TimSay_Timer();
    EXPECT_EQ(shown(), "0_ as 0");
    fixture.random.QueueDraw(21);
    fixture.game.TimSay_Timer();
    EXPECT_EQ(shown(), "0 as 0");
    // A picture that a tick's line showed blinks on the same tick.
    fixture.random.QueueDraw(0);
    fixture.game.TimSay_Timer();
    EXPECT_EQ(fixture.Message(), "|a|b|c|d|e|f▼");
    EXPECT_EQ(shown(), "3_ as 3");

    // A blink frame that is missing ends the game at the first blink.
    fixture.content = MemoryContent();
    fixture.content.AddPicture(u"0");
    pictures.ShowPicture(u"0");
    fixture.random.QueueDraw(3);
    EXPECT_THROW(pictures.BlinkStep(), RuntimeError);
}

} // namespace
} // namespace miradel::test
