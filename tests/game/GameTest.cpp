// SPDX-License-Identifier: MIT
#include "game/Game.h"
#include "headless/HeadlessView.h"
#include "headless/MemoryContent.h"
#include "platform/Random.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

// A new game, over the headless window, from the state a finished game left: what it resets
// and what survives it.
TEST(Game, NewGameFreesTheChoicesClosesTheSecretAndKeepsThePast)
{
    MemoryContent content;
    content.SetScene(u"opn", "a\r\n");
    content.AddPicture(u"ttl");
    HeadlessView view([&content](TextView fileName) { content.FindPicture(fileName); });
    SeededRandom random(1);
    Game game(view, content, random);
    game.state.choiceSlots = {};
    game.state.secretOpen = true;
    game.state.day = 3;
    game.state.dayPending = false;
    game.state.lastChoice = 2;
    game.state.dayChoices = { 2, 0, 1 };

    game.NewGame();

    EXPECT_TRUE(game.state.SlotFree(1) && game.state.SlotFree(2) && game.state.SlotFree(3));
    EXPECT_FALSE(game.state.secretOpen);
    EXPECT_TRUE(game.state.dayPending);
    EXPECT_EQ(game.state.day, 0);
    EXPECT_EQ(view.day, 0);
    EXPECT_EQ(game.state.lastChoice, 2);
    EXPECT_EQ(game.state.dayChoices, (std::array<std::uint8_t, 3> { 2, 0, 1 }));
    EXPECT_EQ(view.shownPicture, u"ttl");
    EXPECT_EQ(game.player.SceneShownName(), "txt/opn.dat");
    // Its one line is its last: it waits for a click.
    EXPECT_EQ(view.message, u"\r\na▼");
}

} // namespace
} // namespace miradel
