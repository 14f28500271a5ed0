#pragma once

#include "game/DaysAndChoices.h"
#include "game/GameState.h"
#include "picture/PictureDisplay.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "platform/TextFiles.h"
#include "platform/Timer.h"
#include "platform/Window.h"
#include "scenario/ScenarioPlayer.h"

#include <memory>

namespace miradel {

class PlayerKeys;
class RandomSource;

// The program's one window `frm`: its controls, its state, and the event handlers that
// wire the scenario player, the days and choices, the pictures and the music together.
class Frm final : public ScenarioHost, public DaysAndChoicesHost {
public:
    // `programFolder` is the folder of the program, where the content lies.
    Frm(Text programFolder, RandomSource& random);
    ~Frm() override;

    // Loads the window and shows it; the first layout run and the first game follow.
    void Start();

    void Form_Load();
    void Form_Activate() override;
    void Form_Resize();
    void Form_Unload();
    void Lbl_Click() { player.Lbl_Click(); }
    void TimSay_Timer() { player.TimSay_Timer(); }
    // A tick of `TimSay` as the timer delivers it: it waits while the backlog is open.
    void PacingTick();
    void BgmTim_Timer();
    void ComGame_Click() { days.ComGame_Click(); }
    void Com_Click(int Index) { days.Com_Click(Index); }

    void ShowPicture(TextView name) override { pictures.ShowPicture(name); }
    void ShowChoices(bool visible) override { days.ShowChoices(visible); }
    void BlinkStep() override { pictures.BlinkStep(); }
    void OpenScene(TextView name) override { player.OpenScene(name); }

    // The window's controls, in the order of their creation.
    Window frm;
    Label Lbl;
    Label LblDay;
    PictureBox Pic;
    PictureBox E;
    ButtonArray<4> Com;
    Button ComGame;
    Timer TimSay;
    Timer BgmTim;

    Text appDir;
    Text imgDir;
    Text txtDir;
    GameState game;
    TextFiles files;
    PictureDisplay pictures;
    ScenarioPlayer player;
    DaysAndChoices days;
    // The keys of skip, the backlog and full screen.
    std::unique_ptr<PlayerKeys> keys;

private:
    void WireEvents();
    void SetTabOrder();

    Text m_programFolder;
    bool m_openingInProgress = false;
};

} // namespace miradel
