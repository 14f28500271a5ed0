// Faults the player fuzz target found, each played through the real window with its handlers
// called directly. The scenes are the smallest the fuzzer's inputs shrank to.

#include "fuzz/PlayerDrive.h"
#include "robustness/TempFolder.h"

#include <gtest/gtest.h>

namespace miradel::robust {
namespace {

class PlayerFault : public testing::Test {
protected:
    // Every scene a single text line followed by "tugi", the endings ending the game.
    PlayerFault()
    {
        for (const std::string_view name : kSceneNames)
            scenes.scenes.emplace_back(std::string(name) + "\r\ntugi\r\n");
        for (std::size_t i = kSceneNames.size() - 3; i < kSceneNames.size(); ++i)
            scenes.scenes[i] = "owari\r\n>end\r\n";
    }

    std::string& Scene(std::string_view name)
    {
        for (std::size_t i = 0; i < kSceneNames.size(); ++i) {
            if (kSceneNames[i] == name)
                return *scenes.scenes[i];
        }
        throw std::invalid_argument("no such scene");
    }

    Frm& Start()
    {
        drive.WriteScenes(scenes);
        form.emplace(TextFromUtf8(folder.Path().string() + "/"), random);
        form->Form_Load();
        form->Form_Resize();
        form->Form_Activate();
        return *form;
    }

    TempFolder folder { "fault" };
    PlayerDrive drive { folder.Path() };
    PlayInput scenes;
    SeededRandom random { 7 };
    std::optional<Frm> form;
};

// A ">end" inside a "--" run used to leave the run going in the new game's opening, which
// reached the same ">end" again: the click never returned and memory grew without end.
TEST_F(PlayerFault, RestartInsideRunEndsTheRun)
{
    Scene("opn") = "a\r\n--9\r\n>end\r\n";
    Frm& frm = Start();
    ASSERT_EQ(frm.Lbl.Caption(), u"\r\na");

    frm.Lbl_Click();

    EXPECT_EQ(frm.Lbl.Caption(), u"\r\na");
    EXPECT_EQ(frm.game.player.NextLine(), u"--9");
    EXPECT_EQ(frm.game.files.OpenCount(), 1u);
    EXPECT_EQ(frm.game.state.day, 0);
}

// The same with the ">end" in a run nested in another: both end with their scene.
TEST_F(PlayerFault, RestartInsideNestedRunEndsBothRuns)
{
    Scene("opn") = "a\r\n--3\r\n--2\r\n>end\r\nb\r\n";
    Frm& frm = Start();

    frm.Lbl_Click();

    EXPECT_EQ(frm.Lbl.Caption(), u"\r\na");
    EXPECT_EQ(frm.game.player.NextLine(), u"--3");
    EXPECT_EQ(frm.game.files.OpenCount(), 1u);
}

// An ending that ends without ">end" once every choice is used up offers the choices with
// none left: no button shows and the game stands still until the window is closed.
TEST_F(PlayerFault, EndingWithoutRestartStandsStillWithNoButton)
{
    Scene("end0") = "owari\r\n";
    Frm& frm = Start();
    frm.game.state.choiceSlots = {};
    frm.game.state.lastChoice = 0;
    frm.Lbl_Click();
    frm.ComGame_Click();
    ASSERT_EQ(frm.game.player.SceneShownName(), "txt/end0.dat");

    frm.Lbl_Click();
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(frm.Com(i).Visible());
    EXPECT_FALSE(frm.ComGame.Visible());
    EXPECT_FALSE(frm.Lbl.Visible());
    EXPECT_EQ(frm.game.files.OpenCount(), 0u);
}

// With the fourth choice open the same ending still offers it, so the game goes on.
TEST_F(PlayerFault, EndingWithTheFourthChoiceOpenOffersIt)
{
    Scene("end0") = "owari\r\n";
    Frm& frm = Start();
    frm.game.state.choiceSlots = {};
    frm.game.state.secretOpen = true;
    frm.Lbl_Click();
    frm.ComGame_Click();
    frm.Lbl_Click();

    EXPECT_TRUE(frm.Com(3).Visible());
    EXPECT_FALSE(frm.Com(0).Visible());
}

} // namespace
} // namespace miradel::robust
