// SPDX-License-Identifier: MIT
#include "support/FormFixture.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace miradel::test {
namespace {

void PressKey(QWidget* widget, int key, bool autoRepeat = false)
{
    Type(widget, key, Qt::NoModifier, autoRepeat);
}

void WriteGame(FormFixture& fixture)
{
    fixture.folder.WriteAllPictures();
    fixture.folder.WriteAllScenes();
    fixture.folder.WriteScene("opn", { "一行目", "二行目", "三行目", "四行目", "五行目", "六行目" });
}

// What `clicks` clicks on the message area show after the opening's first line.
std::string MessageAfterClicks(int clicks)
{
    FormFixture clicked;
    WriteGame(clicked);
    clicked.Start();
    for (int i = 0; i < clicks; ++i)
        clicked.Form().Lbl_Click();
    return clicked.Message();
}

// The window on a game of short scenes, its handlers called directly and its events sent
// straight to the widgets: nothing waits for the event loop.
class KeyboardTest : public testing::Test {
protected:
    void SetUp() override { WriteGame(fixture); }
    Frm& Form() { return fixture.Form(); }
    QWidget* MessageArea() { return Form().Lbl.Widget(); }
    // Where the keyboard is in the window: what takes the keys once the window is active.
    QWidget* KeyboardFocus() { return Form().frm.Widget()->focusWidget(); }

    FormFixture fixture;
};

TEST_F(KeyboardTest, EachReadingKeyAndTheWheelDoWhatAClickDoes)
{
    const std::string expected = MessageAfterClicks(1);
    struct Input {
        const char* name;
        std::function<void(QWidget*)> deliver;
    };
    const Input inputs[] = {
        { "Space", [](QWidget* w) { PressKey(w, Qt::Key_Space); } },
        { "Return", [](QWidget* w) { PressKey(w, Qt::Key_Return); } },
        { "Enter", [](QWidget* w) { PressKey(w, Qt::Key_Enter); } },
        { "Down", [](QWidget* w) { PressKey(w, Qt::Key_Down); } },
        { "wheel notch", [](QWidget* w) { TurnWheel(w, -120); } },
        { "touchpad steps",
            [](QWidget* w) {
                for (int i = 0; i < 4; ++i)
                    TurnWheel(w, -30);
            } },
        { "inverted wheel", [](QWidget* w) { TurnWheel(w, -120, true); } },
    };
    for (const Input& input : inputs) {
        FormFixture keyed;
        WriteGame(keyed);
        keyed.Start();
        keyed.Form().TimSay.SetEnabled(false);
        const std::string before = keyed.Message();
        input.deliver(keyed.Form().Lbl.Widget());
        EXPECT_NE(keyed.Message(), before) << input.name;
        EXPECT_EQ(keyed.Message(), expected) << input.name;
        EXPECT_TRUE(keyed.Form().TimSay.Enabled()) << input.name << ": a click switches the pacing on";
    }
}

// The wheel turned away and PageUp open the backlog (PlayerKeysTest).
TEST_F(KeyboardTest, OtherKeysDoNothing)
{
    fixture.Start();
    const std::string before = fixture.Message();
    for (int key : { Qt::Key_Up, Qt::Key_Left, Qt::Key_Right, Qt::Key_A, Qt::Key_Escape })
        PressKey(MessageArea(), key);
    EXPECT_EQ(fixture.Message(), before);
    // Two notches in one event are two clicks.
    TurnWheel(MessageArea(), -240);
    fixture.Form().Lbl_Click();
    EXPECT_EQ(fixture.Message(), MessageAfterClicks(3));
}

TEST_F(KeyboardTest, FocusIsOnWhatIsOfferedButNeverOnAChoiceUnasked)
{
    fixture.folder.WriteScene("opn", { "一行目" });
    fixture.random.SetDefault(0.0);
    fixture.Start();
    EXPECT_EQ(KeyboardFocus(), MessageArea()) << "the scene is on show";

    Form().Lbl_Click();
    ASSERT_EQ(fixture.Offer(), "next day");
    EXPECT_EQ(KeyboardFocus(), Form().ComGame.Widget());

    PressKey(KeyboardFocus(), Qt::Key_Space);
    ASSERT_EQ(fixture.Offer(), "scene") << "Space on the next-day button presses it";
    EXPECT_EQ(KeyboardFocus(), MessageArea());

    // The choices appear with the keyboard resting on the window; the arrows and Tab move it
    // onto them, round and round.
    Form().Lbl_Click();
    ASSERT_EQ(fixture.VisibleChoices(), "012");
    EXPECT_EQ(KeyboardFocus(), Form().frm.Widget());
    PressKey(KeyboardFocus(), Qt::Key_Down);
    EXPECT_EQ(KeyboardFocus(), Form().Com(0).Widget());
    PressKey(KeyboardFocus(), Qt::Key_Right);
    EXPECT_EQ(KeyboardFocus(), Form().Com(1).Widget());
    PressKey(KeyboardFocus(), Qt::Key_Tab);
    EXPECT_EQ(KeyboardFocus(), Form().Com(2).Widget());
    PressKey(KeyboardFocus(), Qt::Key_Down);
    EXPECT_EQ(KeyboardFocus(), Form().Com(0).Widget()) << "past the last choice comes the first";
    PressKey(KeyboardFocus(), Qt::Key_Up);
    EXPECT_EQ(KeyboardFocus(), Form().Com(2).Widget());

    // A used choice is not offered again; the keyboard rests again, and Up goes to the last.
    PressKey(KeyboardFocus(), Qt::Key_Space);
    EXPECT_EQ(KeyboardFocus(), MessageArea());
    Form().Lbl_Click();
    Form().ComGame_Click();
    Form().Lbl_Click();
    ASSERT_EQ(fixture.VisibleChoices(), "01");
    EXPECT_EQ(KeyboardFocus(), Form().frm.Widget());
    PressKey(KeyboardFocus(), Qt::Key_Up);
    EXPECT_EQ(KeyboardFocus(), Form().Com(1).Widget());
}

// The player reads on with Space, Enter or Down, pressed or held, as the choices appear:
// none of it may take a choice, and no draw is made.
TEST_F(KeyboardTest, ReadingKeysNeverTakeAChoice)
{
    fixture.folder.WriteScene("opn", { "一行目" });
    fixture.Start();
    Form().Lbl_Click();
    Form().ComGame_Click();
    Form().Lbl_Click();
    ASSERT_EQ(fixture.VisibleChoices(), "012");
    const int draws = fixture.random.Draws();
    for (int key : { Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter }) {
        for (bool autoRepeat : { true, false })
            PressKey(KeyboardFocus(), key, autoRepeat);
    }
    EXPECT_EQ(fixture.VisibleChoices(), "012");
    EXPECT_EQ(KeyboardFocus(), Form().frm.Widget());
    // Down reads on in a scene; here it moves onto the first choice, and does nothing more.
    PressKey(KeyboardFocus(), Qt::Key_Down);
    ASSERT_EQ(KeyboardFocus(), Form().Com(0).Widget());

    // On the choice now: a key held from before repeats, and the release of a press made
    // elsewhere arrives; neither presses it.
    PressKey(KeyboardFocus(), Qt::Key_Return, true);
    PressKey(KeyboardFocus(), Qt::Key_Space, true);
    Release(KeyboardFocus(), Qt::Key_Space);
    EXPECT_EQ(fixture.VisibleChoices(), "012");
    EXPECT_EQ(fixture.random.Draws(), draws);

    // A fresh press takes it.
    PressKey(KeyboardFocus(), Qt::Key_Return);
    EXPECT_EQ(fixture.Offer(), "scene");
    EXPECT_EQ(fixture.random.Draws(), draws + 1);
}

// The whole game with keys only, each sent to whatever has the keyboard: the opening, three
// days with their choices, the ending, and the new game that the ending starts.
TEST_F(KeyboardTest, WholeGamePlaysWithoutAMouse)
{
    for (const char* ending : { "end0", "end1", "end2" })
        fixture.folder.WriteScene(ending, { "おしまい", ">end" });
    fixture.random.SetDefault(0.0); // every choice is used up at once
    fixture.Start();
    bool endingSeen = false;
    for (int press = 0; press < 200 && !(endingSeen && Form().game.pictures.CurrentPicture() == u"ttl"); ++press) {
        QWidget* focus = KeyboardFocus();
        ASSERT_NE(focus, nullptr) << "after " << press << " presses";
        const bool resting = focus == Form().frm.Widget();
        ASSERT_TRUE(resting || focus->isVisibleTo(Form().frm.Widget())) << "after " << press << " presses";
        // Buttons take Space; the message area any of its reading keys; on the resting
        // window, Tab moves onto the choices.
        static constexpr int kReadingKeys[] = { Qt::Key_Space, Qt::Key_Return, Qt::Key_Down };
        const int key = resting              ? Qt::Key_Tab
            : focus->inherits("QPushButton") ? Qt::Key_Space
                                             : kReadingKeys[press % 3];
        PressKey(focus, key);
        endingSeen = endingSeen || Form().game.pictures.CurrentPicture().starts_with(u"end");
    }
    EXPECT_TRUE(endingSeen);
    EXPECT_EQ(Form().game.pictures.CurrentPicture(), u"ttl") << "the ending starts a new game";
    EXPECT_EQ(Form().game.state.day, 0);
}

} // namespace
} // namespace miradel::test
