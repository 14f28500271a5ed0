// SPDX-License-Identifier: MIT
#pragma once

namespace miradel {

class ScenarioPlayer;

// What the window's unload and the page's teardown both do: close the scene and the music.
// It goes on past every error, since nothing may keep the program from ending.
void CloseSceneAndMusic(ScenarioPlayer& player);

} // namespace miradel
