// SPDX-License-Identifier: MIT
#include "game/Game.h"

#include "game/GameView.h"
#include "platform/RuntimeError.h"

namespace miradel {

Game::Game(GameView& view, LineSource& scenes, RandomSource& random)
    : pictures(view, random)
    , player(view, files, scenes, state, *this)
    , days(state, view, random, *this)
    , m_view(view)
{
}

void Game::NewGame()
{
    // An opening that starts a new game before showing anything would do so forever.
    if (m_openingInProgress) {
        throw RuntimeError("オープニングのシナリオが、何も表示しないうちにゲームを最初からやり直しています",
            player.SceneShownName(), player.CurrentLineNumber());
    }
    for (int k = 1; k <= 3; ++k)
        state.choiceSlots[static_cast<std::size_t>(k - 1)] = static_cast<std::int16_t>(k);
    state.day = 0;
    m_view.ShowDay(state.day);
    state.dayPending = true;
    ShowPicture(u"ttl");
    state.secretOpen = false;
    m_openingInProgress = true;
    try {
        OpenScene(u"opn");
    } catch (...) {
        m_openingInProgress = false;
        throw;
    }
    m_openingInProgress = false;
}

} // namespace miradel
