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
    std::vector<std::string> clicked;
    KeyboardGame reference(opening);
    for (int clicks = 0; clicks <= 2; ++clicks, reference.Form().Lbl_Click())
        clicked.push_back(reference.Message());
    struct Input {
        const char* name;
        int clicks;
        std::function<void(QWidget*)> deliver;
    };
    const Input inputs[] = {
        { "Space", 1, [](QWidget* w) { Type(w, Qt::Key_Space); } },
        { "Return", 1, [](QWidget* w) { Type(w, Qt::Key_Return); } },
        { "Enter", 1, [](QWidget* w) { Type(w, Qt::Key_Enter); } },
        { "Down", 1, [](QWidget* w) { Type(w, Qt::Key_Down); } },
        { "touchpad steps", 1,
            [](QWidget* w) {
                for (int i = 0; i < 4; ++i)
                    TurnWheel(w, -30);
            } },
        { "inverted wheel", 1, [](QWidget* w) { TurnWheel(w, -120, true); } },
        { "two notches in one turn", 2, [](QWidget* w) { TurnWheel(w, -240); } },
        { "other keys", 0,
            [](QWidget* w) {
                for (int key : { Qt::Key_Up, Qt::Key_Left, Qt::Key_Right, Qt::Key_A, Qt::Key_Escape })
                    Type(w, key);
            } },
    };
    for (const Input& input : inputs) {
        KeyboardGame keyed(opening);
        keyed.Form().TimSay.SetEnabled(false);
        input.deliver(keyed.Form().Lbl.Widget());
        EXPECT_EQ(keyed.Message(), clicked[input.clicks]) << input.name;
        EXPECT_EQ(keyed.Form().TimSay.Enabled(), input.clicks > 0) << input.name << ": a click starts the pacing";
    }
}

// The keyboard rests on the window when the choices appear, so that the key that read the
// last line cannot take a choice unseen; only a fresh press takes a button.
TEST(Keyboard, FocusFollowsWhatIsOfferedAndOnlyAFreshPressTakesAButton)
{
    KeyboardGame game({ "一行目" });
    game.random.SetDefault(0.0);
    struct Step {
        int key;
        bool repeat;
        const char* state;
    };
    const Step steps[] = {
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
        { Qt::Key_Return, true, "choice 1, 012" },
        { Qt::Key_Return, false, "text, scene" },
        { Qt::Key_Down, false, "next day, next day" },
        { Qt::Key_Space, false, "text, scene" },
        { Qt::Key_Enter, false, "window, 02" },
        { Qt::Key_Up, false, "choice 2, 02" },
    };
    ASSERT_EQ(game.State(), "text, scene");
    for (const Step& step : steps) {
        Type(game.Focus(), step.key, Qt::NoModifier, step.repeat);
        ASSERT_EQ(game.State(), step.state) << "key " << step.key << (step.repeat ? " held" : "");
    }
}

// The whole game with keys only, each sent to whatever has the keyboard: the opening, three
// days with their choices, the ending, and the new game that the ending starts.
TEST(Keyboard, WholeGamePlaysWithoutAMouse)
{
    KeyboardGame game({ "一行目" });
    for (const char* ending : { "end0", "end1", "end2" })
        game.folder.WriteScene(ending, { "おしまい", ">end" });
    game.random.SetDefault(0.0); // every choice is used up at once
    Frm& form = game.Form();
    bool endingSeen = false;
    for (int press = 0; press < 200 && !(endingSeen && form.game.pictures.CurrentPicture() == u"ttl"); ++press) {
        QWidget* focus = game.Focus();
        ASSERT_TRUE(focus == form.frm.Widget() || (focus && focus->isVisibleTo(form.frm.Widget()))) << press;
        // Buttons take Space; the message area its reading keys; on the resting window Tab
        // moves onto the choices.
        static constexpr int kReadingKeys[] = { Qt::Key_Space, Qt::Key_Return, Qt::Key_Down };
        const int key = focus == form.frm.Widget() ? Qt::Key_Tab
            : focus->inherits("QPushButton")       ? Qt::Key_Space
                                                   : kReadingKeys[press % 3];
        Type(focus, key);
        endingSeen = endingSeen || form.game.pictures.CurrentPicture().starts_with(u"end");
    }
    EXPECT_TRUE(endingSeen);
    EXPECT_EQ(form.game.pictures.CurrentPicture(), u"ttl") << "the ending starts a new game";
    EXPECT_EQ(form.game.state.day, 0);
}

} // namespace
} // namespace miradel::test
