// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

namespace miradel {

class GameView;
class RandomSource;
struct GameState;

// What the buttons need from the rest of the window.
class DaysAndChoicesHost {
public:
    virtual ~DaysAndChoicesHost() = default;
    virtual void ShowPicture(TextView name) = 0;
    virtual void OpenScene(TextView name) = 0;
};

// The logic behind the next-day button and the four choice buttons: the day counter, which
// choices are still free, the draw that can use a choice up, the hidden fourth choice and
// the endings. Every click shows exactly one picture and then opens exactly one scene.
class DaysAndChoices {
public:
    static constexpr int kFourthChoice = 3;

    DaysAndChoices(GameState& game, GameView& view, RandomSource& random, DaysAndChoicesHost& host);

    void ComGame_Click();
    void Com_Click(int Index);
    void ShowChoices(bool visible);

private:
    void ChooseFourth();
    void ChooseRegular(int index);
    bool LowDraw();

    GameState& m_game;
    GameView& m_view;
    RandomSource& m_random;
    DaysAndChoicesHost& m_host;
};

} // namespace miradel
