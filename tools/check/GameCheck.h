// SPDX-License-Identifier: MIT
#pragma once

#include "Findings.h"
#include "SceneWalk.h"
#include "platform/Text.h"

#include <string>
#include <vector>

namespace miradel::check {

struct SceneReport {
    Text name;
    std::string shownName;
    bool present = false;
    long long lineCount = 0;
    SceneWalk walk;
};

struct GameCheck {
    bool folderReadable = false;
    Findings findings;
    // Every scene that the game opens, in the order the game lists them.
    std::vector<SceneReport> scenes;
};

// Examines a game folder (ending in a separator) for everything that would end the game or
// look wrong when it is played. `measure` checks that pages fit; without it they are not
// measured.
GameCheck CheckGame(const Text& gameFolder, const PageMeasure* measure);

// When the game opens a scene, in words, for the report of a missing one.
std::string WhenTheGameOpens(TextView scene);

} // namespace miradel::check
