// SPDX-License-Identifier: MIT
#include "platform/RuntimeError.h"
#include "support/FormFixture.h"

#include <QImage>
#include <QWidget>
#include <fstream>
#include <gtest/gtest.h>

namespace miradel::test {

// Pictures of one colour each, so the screen tells which file was painted.
class PictureDisplayTest : public testing::Test {
protected:
    void SetUp() override
    {
        fixture.folder.WriteAllScenes();
        fixture.folder.WritePicture("img/ttl.jpg", QColor::fromRgb(0xFFFFFF));
        fixture.folder.WritePicture("img/ttl_.jpg", QColor::fromRgb(0x00FF00));
        fixture.folder.WritePicture("img/0.jpg", QColor::fromRgb(0xFF0000), 640, 480);
        fixture.folder.WritePicture("img/0_.jpg", QColor::fromRgb(0x0000FF));
        fixture.folder.WritePicture("img/3.jpg", QColor::fromRgb(0xFFFF00));
        fixture.folder.WritePicture("img/3_.jpg", QColor::fromRgb(0x00FFFF));
        fixture.folder.WritePicture("img/end1.jpg", QColor::fromRgb(0x808080));
        fixture.folder.WriteScene("opn", { "a", "b", "c" });
        fixture.Start();
    }

    Frm& Form() { return fixture.Form(); }
    PictureDisplay& Pictures() { return Form().game.pictures; }

    // The colour painted at a point of the picture area, as fractions of its size.
    QRgb Shown(double x = 0.5, double y = 0.5)
    {
        const QImage image = Form().Pic.Widget()->grab().toImage();
        return image.pixel(static_cast<int>(x * (image.width() - 1)), static_cast<int>(y * (image.height() - 1)));
    }
    static bool Near(QRgb actual, unsigned expected)
    {
        const QColor a(actual);
        const QColor e = QColor::fromRgb(expected);
        return std::abs(a.red() - e.red()) < 24 && std::abs(a.green() - e.green()) < 24
            && std::abs(a.blue() - e.blue()) < 24;
    }

    FormFixture fixture;
};

TEST_F(PictureDisplayTest, NamedPictureFillsTheWholeArea)
{
    Pictures().ShowPicture(u"0");
    EXPECT_EQ(Pictures().CurrentPicture(), u"0");
    // A 640 x 480 picture squeezed into the area: no background shows at any corner.
    for (double x : { 0.0, 1.0 }) {
        for (double y : { 0.0, 1.0 })
            EXPECT_TRUE(Near(Shown(x, y), 0xFF0000)) << x << "," << y;
    }
    EXPECT_TRUE(Form().Pic.Visible());
}

TEST_F(PictureDisplayTest, BlinkFrameOfTheCurrentPicture)
{
    Pictures().ShowPicture(u"_");
    EXPECT_TRUE(Near(Shown(), 0x00FF00));
    EXPECT_EQ(Pictures().CurrentPicture(), u"ttl");
    // The empty name repaints what the buffer holds: still the blink frame.
    Pictures().ShowPicture(u"");
    EXPECT_TRUE(Near(Shown(), 0x00FF00));
    EXPECT_EQ(Pictures().CurrentPicture(), u"ttl");
}

TEST_F(PictureDisplayTest, OnlyDayAndChoicePicturesBlink)
{
    for (const char16_t* still : { u"ttl", u"end1" }) {
        Pictures().ShowPicture(still);
        const int draws = fixture.random.Draws();
        Form().TimSay_Timer();
        EXPECT_EQ(fixture.random.Draws(), draws) << TextToUtf8(still);
    }
}

TEST_F(PictureDisplayTest, BlinkShowsTheFrameOnLowDrawsForOneTick)
{
    Pictures().ShowPicture(u"3");
    fixture.random.QueueDraw(20);
    Form().TimSay_Timer();
    EXPECT_TRUE(Near(Shown(), 0x00FFFF));
    EXPECT_EQ(Pictures().CurrentPicture(), u"3");
    fixture.random.QueueDraw(21);
    Form().TimSay_Timer();
    EXPECT_TRUE(Near(Shown(), 0xFFFF00));
}

TEST_F(PictureDisplayTest, BlinkSeesAPictureTheSameTickShowed)
{
    fixture.folder.WriteScene("opn", { "a", ">img 3", "b" });
    Form().Form_Activate();
    fixture.random.QueueDraw(0);
    Form().TimSay_Timer();
    EXPECT_EQ(Pictures().CurrentPicture(), u"3");
    EXPECT_TRUE(Near(Shown(), 0x00FFFF));
}

TEST_F(PictureDisplayTest, MissingBlinkFrameIsFatalAtTheFirstBlink)
{
    fixture.folder.Remove("img/0_.jpg");
    Pictures().ShowPicture(u"0");
    fixture.random.QueueDraw(50);
    Form().TimSay_Timer();
    fixture.random.QueueDraw(3);
    try {
        Form().TimSay_Timer();
        FAIL() << "no error";
    } catch (const RuntimeError& error) {
        EXPECT_EQ(error.File(), "img/0_.jpg");
    }
}

TEST_F(PictureDisplayTest, FileThatIsNotAPictureIsFatal)
{
    fixture.folder.WriteSceneBytes("unused", "");
    std::ofstream(fixture.folder.Path() / "img" / "bad.jpg") << "not a picture";
    EXPECT_THROW(Pictures().ShowPicture(u"bad"), RuntimeError);
    std::ofstream(fixture.folder.Path() / "img" / "empty.jpg");
    EXPECT_THROW(Pictures().ShowPicture(u"empty"), RuntimeError);
}

TEST_F(PictureDisplayTest, LargePictureDecodesAtTheAreaSize)
{
    fixture.folder.WritePicture("img/big.jpg", QColor::fromRgb(0x00FF00), 4000, 3000);
    Pictures().ShowPicture(u"big");
    EXPECT_EQ(Form().E.ScaleWidth(), 4000);
    EXPECT_EQ(Form().E.ScaleHeight(), 3000);
    EXPECT_TRUE(Near(Shown(1, 1), 0x00FF00));
}

} // namespace miradel::test
