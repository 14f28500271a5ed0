// SPDX-License-Identifier: MIT
#pragma once

#include "game/DaysAndChoices.h"
#include "game/GameState.h"
#include "picture/PictureDisplay.h"
#include "platform/TextFiles.h"
#include "scenario/ScenarioPlayer.h"

namespace miradel {

class GameView;
class LineSource;
class RandomSource;

// The whole game without its window: the state, the scenario player, the days and choices
// and the pictures, wired to each other, taking the events that the window (or a driver)
// sends and showing everything through `GameView`. The music is not part of it: nothing
// about the music ever reaches the game.
class Game final : public ScenarioHost, public DaysAndChoicesHost {
public:
    Game(GameView& view, LineSource& scenes, RandomSource& random);

    // `Form_Activate`: all choices free, day 0, the title picture and the opening scene.
    void NewGame() override;
    void Lbl_Click() { player.Lbl_Click(); }
    void TimSay_Timer() { player.TimSay_Timer(); }
    void ComGame_Click() { days.ComGame_Click(); }
    void Com_Click(int Index) { days.Com_Click(Index); }

    void ShowPicture(TextView name) override { pictures.ShowPicture(name); }
    void ShowChoices(bool visible) override { days.ShowChoices(visible); }
    void BlinkStep() override { pictures.BlinkStep(); }
    void OpenScene(TextView name) override { player.OpenScene(name); }

    GameState state;
    TextFiles files;
    PictureDisplay pictures;
    ScenarioPlayer player;
    DaysAndChoices days;

private:
    GameView& m_view;
    bool m_openingInProgress = false;
};

} // namespace miradel
