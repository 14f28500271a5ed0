// SPDX-License-Identifier: MIT
#include "platform/RuntimeError.h"
#include "support/FormFixture.h"
#include "support/HeadlessFixture.h"

#include <QImage>
#include <QWidget>
#include <gtest/gtest.h>

namespace miradel::test {
namespace {

// Over the headless window: which file the buffer holds and which picture the area shows.
TEST(PictureDisplay, DayAndChoicePicturesBlinkOnLowDraws)
{
    HeadlessFixture fixture;
    fixture.WriteWholeGame();
    fixture.content.AddPicture(u"ttl_");
    fixture.WriteScene("opn", { "a", "b", "c", "d", "e", ">img 3", "f" });
    fixture.Start();
    PictureDisplay& pictures = fixture.game.pictures;
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
    HeadlessFixture bare;
    bare.content.AddPicture(u"0");
    bare.game.pictures.ShowPicture(u"0");
    bare.random.QueueDraw(3);
    EXPECT_THROW(bare.game.pictures.BlinkStep(), RuntimeError);
}

// In the window: the whole picture, whatever its size, is stretched over the whole area.
TEST(PictureDisplay, PictureFillsTheWholeArea)
{
    FormFixture fixture;
    fixture.folder.WriteAllScenes();
    fixture.folder.WriteAllPictures();
    fixture.folder.WritePicture("img/big.jpg", Qt::green, 4000, 3000);
    fixture.Start();
    Frm& form = fixture.Form();
    form.game.ShowPicture(u"big");
    const QImage image = form.Pic.Widget()->grab().toImage();
    for (const QPoint corner : { QPoint(0, 0), QPoint(image.width() - 1, image.height() - 1) }) {
        const QColor seen = image.pixelColor(corner);
        EXPECT_LT(seen.red() + std::abs(seen.green() - 255), 48) << corner.x();
    }
    EXPECT_EQ(form.E.ScaleWidth(), 4000);
    EXPECT_EQ(form.E.ScaleHeight(), 3000);
}

} // namespace
} // namespace miradel::test
