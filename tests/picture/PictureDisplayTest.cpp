// SPDX-License-Identifier: MIT
#include "game/SceneNames.h"
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
    EXPECT_EQ(shown(), "ttl_ as ttl");
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
}

TEST(PictureDisplay, MissingBlinkFrameIsFatalAtTheFirstBlink)
{
    HeadlessFixture fixture;
    fixture.WriteWholeGame();
    fixture.content = MemoryContent();
    fixture.WriteScene("opn", { "a", "b", "c" });
    for (const Text& picture : PicturesTheGameShows())
        fixture.content.AddPicture(picture);
    fixture.Start();
    fixture.game.pictures.ShowPicture(u"0");
    fixture.random.QueueDraw(50);
    fixture.game.TimSay_Timer();
    fixture.random.QueueDraw(3);
    try {
        fixture.game.TimSay_Timer();
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.File(), "img/0_.jpg");
    }
}

// In the window: the picture is decoded and stretched over the whole area; a file that is
// not a picture is fatal.
TEST(PictureDisplay, PictureFillsTheWholeArea)
{
    FormFixture fixture;
    fixture.folder.WriteAllScenes();
    fixture.folder.WriteAllPictures();
    fixture.folder.WritePicture("img/0.jpg", Qt::red, 640, 480);
    fixture.folder.WritePicture("img/big.jpg", Qt::green, 4000, 3000);
    fixture.folder.WriteFile("img/bad.jpg", "not a picture");
    fixture.folder.WriteFile("img/empty.jpg", "");
    fixture.Start();
    Frm& form = fixture.Form();
    for (const auto& [name, color] : { std::pair { u"0", QColor(Qt::red) }, { u"big", QColor(Qt::green) } }) {
        form.game.ShowPicture(name);
        const QImage image = form.Pic.Widget()->grab().toImage();
        for (const QPoint corner : { QPoint(0, 0), QPoint(image.width() - 1, image.height() - 1) }) {
            const QColor seen = image.pixelColor(corner);
            EXPECT_LT(std::abs(seen.red() - color.red()) + std::abs(seen.green() - color.green()), 48)
                << TextToUtf8(name);
        }
    }
    EXPECT_EQ(form.E.ScaleWidth(), 4000);
    EXPECT_EQ(form.E.ScaleHeight(), 3000);
    EXPECT_THROW(form.game.ShowPicture(u"bad"), RuntimeError);
    EXPECT_THROW(form.game.ShowPicture(u"empty"), RuntimeError);
}

} // namespace
} // namespace miradel::test
