// SPDX-License-Identifier: MIT
#include "support/FormFixture.h"

#include <QWidget>
#include <gtest/gtest.h>

namespace miradel::test {
namespace {

// The window on a game of short scenes, its events sent straight to the widgets.
struct KeyboardGame : FormFixture {
    explicit KeyboardGame(const std::vector<std::string>& opening)
    {
        folder.WriteAllPictures();
        folder.WriteAllScenes();
        folder.WriteScene("opn", opening);
        Start();
    }
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

TEST(Keyboard, EachReadingKeyAndTheWheelDoWhatAClickDoesOverTheMessageArea)
{
    const std::vector<std::string> opening { "一行目", "二行目", "三行目", "四行目" };
    KeyboardGame reference(opening);
    std::vector<std::string> clicked { reference.Message() };
    for (int click = 0; click < 2; ++click) {
        reference.Form().Lbl_Click();
        clicked.push_back(reference.Message());
    }
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
        EXPECT_EQ(keyed.Message(), clicked[static_cast<std::size_t>(clicks)]) << key << " " << towards << "x" << turns;
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
