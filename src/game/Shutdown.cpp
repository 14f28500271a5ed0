// SPDX-License-Identifier: MIT
#include "game/Shutdown.h"
#include "music/MusicProcedures.h"
#include "scenario/ScenarioPlayer.h"

namespace miradel {

void CloseSceneAndMusic(ScenarioPlayer& player)
{
    try {
        player.CloseScene();
    } catch (...) {
    }
    try {
        共用関数::CloseMusic();
    } catch (...) {
    }
}

} // namespace miradel
