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

// The window on a game of short scenes, started or really shown, its events sent straight to
// the widgets.
struct KeyboardGame : FormFixture {
    explicit KeyboardGame(const std::vector<std::string>& opening, bool show = false)
    {
        folder.WriteScene("opn", opening);
        if (show)
            shown = Show();
        else
            Start();
    }
    bool shown = false;
    QWidget* Focus() { return Form().frm.Widget()->focusWidget(); }
    // Where the keyboard is and what is on offer.
    std::string State()
    {
        std::string where = Focus() == Form().Lbl.Widget() ? "text"
            : Focus() == Form().frm.Widget()               ? "window"
            : Focus() == Form().ComGame.Widget()           ? "next day"
                                                           : "other";
        for (int i = 0; i <= Form().Com.UBound(); ++i)
            where = Focus() == Form().Com(i).Widget() ? "choice " + std::to_string(i) : where;
        return where + ", " + (Offer() == "choices" ? VisibleChoices() : Offer());
    }
};

std::vector<std::string> ThreePagesUnderABlinkingPicture()
{
    std::vector<std::string> opening { ">img 0" };
    for (int i = 1; i <= 70; ++i)
        opening.push_back("行" + std::to_string(i));
    return opening;
}

// The window's events reaching the reading rules, the window really shown so that the
// backlog's text is laid out in lines; the test drives the timers itself.
class PlayerKeysTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fixture.shown);
        Form().TimSay.SetEnabled(false);
    }
    Frm& Form() { return fixture.Form(); }
    QWidget* Text() { return Form().Lbl.Widget(); }
    std::string Next() { return fixture.Message() + "|" + TextToUtf8(Form().game.player.NextLine()); }

    KeyboardGame fixture { ThreePagesUnderABlinkingPicture(), true };
};

TEST_F(PlayerKeysTest, SkipKeysReachTheSkipWhoseFramesClickTheMessageArea)
{
    Skip& skip = Form().keys->Skipping();
    Press(Text(), Qt::Key_Control, Qt::ControlModifier);
    EXPECT_TRUE(skip.Held());
    Press(Text(), Qt::Key_Control, Qt::NoModifier, false, QEvent::KeyRelease);
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

TEST(Keyboard, EachReadingKeyAndTheWheelDoWhatAClickDoesOverTheMessageArea)
{
    const std::vector<std::string> opening { "一行目", "二行目", "三行目", "四行目" };
    const std::string clicked[] = { "|一行目", "|一行目|二行目", "|一行目|二行目|三行目" };
    // A key, or turns of the wheel towards the reader (a notch is 120), and the clicks they are.
    const std::tuple<int, int, int, bool, int> inputs[] = {
        { Qt::Key_Space, 0, 0, false, 1 },
        { Qt::Key_Return, 0, 0, false, 1 },
        { Qt::Key_Enter, 0, 0, false, 1 },
        { Qt::Key_Down, 0, 0, false, 1 },
        { Qt::Key_Up, 0, 0, false, 0 },
        { Qt::Key_Right, 0, 0, false, 0 },
        { Qt::Key_A, 0, 0, false, 0 },
        { Qt::Key_Escape, 0, 0, false, 0 },
        { 0, 30, 4, false, 1 },
        { 0, 120, 1, true, 1 },
        { 0, 240, 1, false, 2 },
    };
    for (const auto& [key, towards, turns, inverted, clicks] : inputs) {
        KeyboardGame keyed(opening);
        keyed.Form().TimSay.SetEnabled(false);
        if (key != 0)
            Type(keyed.Form().Lbl.Widget(), key);
        for (int turn = 0; turn < turns; ++turn)
            TurnWheel(keyed.Form().Lbl.Widget(), -towards, inverted);
        EXPECT_EQ(keyed.Message(), clicked[clicks]) << key << " " << towards << "x" << turns;
        EXPECT_EQ(keyed.Form().TimSay.Enabled(), clicks > 0) << key << ": a click starts the pacing";
    }
}

// The keyboard rests on the window when the choices appear, so that the key that read the
// last line cannot take a choice unseen; only a fresh press takes a button.
TEST(Keyboard, FocusFollowsWhatIsOfferedAndOnlyAFreshPressTakesAButton)
{
    KeyboardGame game({ "一行目" });
    game.random.SetDefault(0.0);
    // A key pressed where the keyboard is, whether it repeats one held, and where the keyboard is then.
    const std::tuple<int, bool, std::string> steps[] = {
        { Qt::Key_Space, false, "next day, next day" },
        { Qt::Key_Return, true, "next day, next day" },
        { Qt::Key_Space, false, "text, scene" },
        { Qt::Key_Return, false, "window, 012" },
        { Qt::Key_Space, false, "window, 012" },
        { Qt::Key_Enter, true, "window, 012" },
        { Qt::Key_Return, false, "window, 012" },
        { Qt::Key_Down, false, "choice 0, 012" },
        { Qt::Key_Right, false, "choice 1, 012" },
        { Qt::Key_Tab, false, "choice 2, 012" },
        { Qt::Key_Down, false, "choice 0, 012" },
        { Qt::Key_Up, false, "choice 2, 012" },
        { Qt::Key_Left, false, "choice 1, 012" },
        { Qt::Key_PageUp, false, "choice 1, 012" },
        { Qt::Key_Return, false, "choice 1, 012" },
        { Qt::Key_Return, true, "choice 1, 012" },
        { Qt::Key_Return, false, "text, scene" },
        { Qt::Key_Down, false, "next day, next day" },
        { Qt::Key_Space, false, "text, scene" },
        { Qt::Key_Enter, false, "window, 02" },
        { Qt::Key_Up, false, "choice 2, 02" },
    };
    ASSERT_EQ(game.State(), "text, scene");
    for (const auto& [key, repeat, state] : steps) {
        Type(game.Focus(), key, Qt::NoModifier, repeat);
        ASSERT_EQ(game.State(), state) << "key " << key << (repeat ? " held" : "");
    }
}

} // namespace
} // namespace miradel::test
