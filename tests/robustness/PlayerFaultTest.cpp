// SPDX-License-Identifier: MIT
// Faults the player fuzz target found, each played through the game over a headless window
// with its handlers called directly. The scenes are the smallest the fuzzer's inputs shrank to.

#include "fuzz/PlayerDrive.h"

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

    HeadlessPlay& Start()
    {
        drive.SetScenes(scenes);
        return drive.Start(7);
    }

    PlayerDrive drive;
    PlayInput scenes;
};

// A ">end" inside a "--" run used to leave the run going in the new game's opening, which
// reached the same ">end" again: the click never returned and memory grew without end.
TEST_F(PlayerFault, RestartInsideRunEndsTheRun)
{
    Scene("opn") = "a\r\n--9\r\n>end\r\n";
    HeadlessPlay& play = Start();
    ASSERT_EQ(play.view.message, u"\r\na");

    play.game.Lbl_Click();

    EXPECT_EQ(play.view.message, u"\r\na");
    EXPECT_EQ(play.game.player.NextLine(), u"--9");
    EXPECT_EQ(play.game.files.OpenCount(), 1u);
    EXPECT_EQ(play.game.state.day, 0);
}

// The same with the ">end" in a run nested in another: both end with their scene.
TEST_F(PlayerFault, RestartInsideNestedRunEndsBothRuns)
{
    Scene("opn") = "a\r\n--3\r\n--2\r\n>end\r\nb\r\n";
    HeadlessPlay& play = Start();

    play.game.Lbl_Click();

    EXPECT_EQ(play.view.message, u"\r\na");
    EXPECT_EQ(play.game.player.NextLine(), u"--3");
    EXPECT_EQ(play.game.files.OpenCount(), 1u);
}

// An ending that ends without ">end" once every choice is used up offers the choices with
// none left: no button shows and the game stands still until the window is closed.
TEST_F(PlayerFault, EndingWithoutRestartStandsStillWithNoButton)
{
    Scene("end0") = "owari\r\n";
    HeadlessPlay& play = Start();
    play.game.state.choiceSlots = {};
    play.game.state.lastChoice = 0;
    play.game.Lbl_Click();
    play.game.ComGame_Click();
    ASSERT_EQ(play.game.player.SceneShownName(), "txt/end0.dat");

    play.game.Lbl_Click();
    EXPECT_FALSE(play.view.AnyChoiceVisible());
    EXPECT_FALSE(play.view.nextDayVisible);
    EXPECT_FALSE(play.view.messageVisible);
    EXPECT_EQ(play.game.files.OpenCount(), 0u);
}

// With the fourth choice open the same ending still offers it, so the game goes on.
TEST_F(PlayerFault, EndingWithTheFourthChoiceOpenOffersIt)
{
    Scene("end0") = "owari\r\n";
    HeadlessPlay& play = Start();
    play.game.state.choiceSlots = {};
    play.game.state.secretOpen = true;
    play.game.Lbl_Click();
    play.game.ComGame_Click();
    play.game.Lbl_Click();

    EXPECT_TRUE(play.view.choiceVisible[3]);
    EXPECT_FALSE(play.view.choiceVisible[0]);
}

} // namespace
} // namespace miradel::robust
