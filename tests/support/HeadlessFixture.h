// SPDX-License-Identifier: MIT
#pragma once

#include "game/Game.h"
#include "headless/HeadlessView.h"
#include "headless/MemoryContent.h"
#include "support/FormFixture.h"

#include <string>
#include <string_view>
#include <vector>

namespace miradel::test {

// The game over a headless window, its scenes and pictures in memory, with its handlers
// called directly. Scenes are given as UTF-8 lines and held in code page 932 with CR LF, as
// the game's files are.
class HeadlessFixture {
public:
    HeadlessFixture();

    void WriteScene(const std::string& name, const std::vector<std::string>& utf8Lines);
    void WriteSceneBytes(const std::string& name, std::string_view bytes);
    // Every scene the game opens, each one line long, so that one click ends it.
    void WriteAllScenes();
    // Every picture the game shows and every blink frame.
    void WriteAllPictures();

    // A new game, as the window's start makes one.
    void Start() { game.NewGame(); }

    // The message area as the player sees it: CR LF shown as "|".
    std::string Message() const;
    // Which of the three offers is on show: "scene", "next day", "choices", or "none".
    std::string Offer() const;
    std::string VisibleChoices() const;

    MemoryContent content;
    ScriptedRandom random;
    HeadlessView view;
    Game game;
};

} // namespace miradel::test
