// SPDX-License-Identifier: MIT
#pragma once

#include "app/SceneFolder.h"
#include "app/WindowView.h"
#include "game/Game.h"
#include "platform/Controls.h"
#include "platform/PictureBox.h"
#include "platform/Timer.h"
#include "platform/Window.h"

#include <memory>

namespace miradel {

class PlayerKeys;
class RandomSource;

// The program's one window `frm`: its controls, the game shown in them, and the event
// handlers that wire the controls to the game and to the music.
class Frm final {
public:
    // `programFolder` is the folder of the program, where the content lies.
    Frm(Text programFolder, RandomSource& random);
    ~Frm();

    // Loads the window and shows it; the first layout run and the first game follow.
    void Start();

    void Form_Load();
    void Form_Activate() { game.NewGame(); }
    void Form_Resize();
    void Form_Unload();
    void Lbl_Click() { game.Lbl_Click(); }
    void TimSay_Timer() { game.TimSay_Timer(); }
    // A tick of `TimSay` as the timer delivers it: it waits while the backlog is open.
    void PacingTick();
    void BgmTim_Timer();
    void ComGame_Click() { game.ComGame_Click(); }
    void Com_Click(int Index) { game.Com_Click(Index); }

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
    WindowView view;
    SceneFolder scenes;
    Game game;
    // The keys of skip, the backlog and full screen.
    std::unique_ptr<PlayerKeys> keys;

private:
    void WireEvents();
    void SetTabOrder();

    Text m_programFolder;
};

} // namespace miradel
