// SPDX-License-Identifier: MIT
#include "app/PlayerKeys.h"
#include "platform/Layout.h"
#include "reading/FullScreenLayout.h"
#include "support/FormFixture.h"

#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace miradel::test {
namespace {

// The window's events reaching the reading rules, the window really shown so that the
// backlog's text is laid out in lines: an opening of three pages under a blinking picture.
class PlayerKeysTest : public testing::Test {
protected:
    void SetUp() override
    {
        fixture.folder.WriteAllPictures();
        fixture.folder.WriteAllScenes();
        std::vector<std::string> opening { ">img 0" };
        for (int i = 1; i <= 70; ++i)
            opening.push_back("行" + std::to_string(i));
        fixture.folder.WriteScene("opn", opening);
        ASSERT_TRUE(fixture.Show());
        // From here on the test drives the timers itself.
        Form().TimSay.SetEnabled(false);
    }
    Frm& Form() { return fixture.Form(); }
    QWidget* Text() { return Form().Lbl.Widget(); }
    std::string Next() { return fixture.Message() + "|" + TextToUtf8(Form().game.player.NextLine()); }

    FormFixture fixture;
};

TEST_F(PlayerKeysTest, SkipKeysReachTheSkipWhoseFramesClickTheMessageArea)
{
    Skip& skip = Form().keys->Skipping();
    Press(Text(), Qt::Key_Control, Qt::ControlModifier);
    EXPECT_TRUE(skip.Held());
    Release(Text(), Qt::Key_Control);
    EXPECT_FALSE(skip.Active());
    Press(Text(), Qt::Key_Control, Qt::ControlModifier);
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(Form().frm.Widget(), &deactivate);
    EXPECT_FALSE(skip.Active()) << "a window that loses the keyboard never hears Ctrl let go";
    Type(Text(), Qt::Key_S);
    Press(Text(), Qt::Key_S, Qt::NoModifier, true);
    EXPECT_TRUE(skip.Active()) << "a held S toggles once";

    Type(Text(), Qt::Key_PageUp);
    const std::string next = Next();
    for (int frame = 0; frame < 5; ++frame)
        Form().keys->SkipFrame();
    Type(Text(), Qt::Key_Escape);
    Form().keys->SkipFrame();
    EXPECT_EQ(fixture.Message(), next) << "one click a frame, none under the backlog";
    for (int frame = 0; frame < 200 && fixture.Offer() == "scene"; ++frame)
        Form().keys->SkipFrame();
    ASSERT_EQ(fixture.Offer(), "next day");
    Form().keys->SkipFrame();
    EXPECT_FALSE(skip.Active());
}

TEST_F(PlayerKeysTest, BacklogScrollsOverThePageWhichWaitsAndIsGivenBackUnchanged)
{
    for (int click = 0; click < 65; ++click)
        Form().Lbl_Click();
    EXPECT_EQ(Form().keys->History().PagesKept(), 2u) << "the backlog hears the message area";
    const BacklogView& view = Form().keys->View();
    TurnWheel(Form().Pic.Widget(), 120);
    EXPECT_FALSE(view.IsOpen()) << "the wheel away over the picture is not over the text";
    TurnWheel(Text(), 120);
    const int newest = view.LastFirstLine();
    ASSERT_GT(newest, view.LinesPerPage() + 4);
    EXPECT_EQ(view.FirstLineShown(), newest - 3) << "the newest line at the bottom, a notch back";
    Type(Text(), Qt::Key_PageUp);
    Type(Text(), Qt::Key_Up);
    Type(Text(), Qt::Key_Up);
    Type(Text(), Qt::Key_Down);
    EXPECT_EQ(view.FirstLineShown(), newest - 4 - view.LinesPerPage());
    Type(Text(), Qt::Key_PageDown);
    EXPECT_EQ(view.FirstLineShown(), newest - 4);
    Type(Text(), Qt::Key_Escape);

    const std::string next = Next();
    const int draws = fixture.random.Draws();
    Form().TimSay.SetEnabled(true);
    Type(Text(), Qt::Key_PageUp);
    Form().PacingTick();
    Type(Text(), Qt::Key_Escape);
    TurnWheel(Text(), 240);
    for (int notch = 0; notch < 100 && view.IsOpen(); ++notch)
        TurnWheel(Text(), -120);
    EXPECT_FALSE(view.IsOpen()) << "the wheel back past the newest line closes it";
    TurnWheel(Text(), 120);
    ClickAt(Text());
    EXPECT_FALSE(view.IsOpen());
    EXPECT_EQ(fixture.random.Draws(), draws) << "nothing happens while open or by closing";
    // Play goes on where it stopped: the next tick reveals the next line and blinks.
    Form().PacingTick();
    EXPECT_EQ(fixture.Message(), next);
    EXPECT_EQ(fixture.random.Draws(), draws + 1);
}

TEST_F(PlayerKeysTest, FullScreenLaysTheWindowOutOverTheLargestAreaAndBack)
{
    const QRect picture = Form().Pic.Widget()->geometry();
    const auto decodedForArea = [this] {
        const PixelSize decoded = DecodedSize(Form().E.HeldPicture());
        return decoded.width == Form().Pic.DeviceSize().width && decoded.height == Form().Pic.DeviceSize().height;
    };
    Type(Text(), Qt::Key_F11);
    ASSERT_TRUE(Form().frm.IsFullScreen());
    const QSize screen = Form().frm.Widget()->size();
    const PixelRect area = FullScreenArea(screen.width(), screen.height(), Form().frm.TwipsPerPixel());
    EXPECT_EQ(Form().Lbl.FontSize(), BaseFontSizeFor(area.height * Form().frm.TwipsPerPixel()));
    EXPECT_NEAR(Form().Lbl.Widget()->x(), area.x + area.width * 0.1 / 3.2, 1);
    EXPECT_NEAR(Form().Lbl.Widget()->y(), area.y + area.height * 0.1 / 2.2, 1);
    EXPECT_TRUE(decodedForArea()) << "the picture is decoded again for the larger area, not blown up";
    Type(Text(), Qt::Key_Escape);
    EXPECT_EQ(Form().Pic.Widget()->geometry(), picture);
    EXPECT_TRUE(decodedForArea());
    const std::string before = fixture.Message();
    Type(Text(), Qt::Key_Return, Qt::AltModifier);
    EXPECT_TRUE(Form().frm.IsFullScreen());
    EXPECT_EQ(fixture.Message(), before) << "Alt+Enter does not read on";
}

} // namespace
} // namespace miradel::test
