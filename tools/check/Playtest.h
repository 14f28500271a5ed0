// SPDX-License-Identifier: MIT
#pragma once

#include "GameCheck.h"

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>

namespace miradel::check {

struct PlaytestResult {
    long long games = 0;
    // How each game ended: "end0" to "end2", or why it stopped before an ending.
    std::map<std::string, long long> outcomes;
    std::set<std::string> scenesReached; // shown names, such as "txt/00.dat"
    std::set<Text> picturesShown;
    // Scenes that restarted the game in their first step: seen as the opening only.
    bool restartsUnseen = false;
    std::vector<std::string> scenesNeverReached;
    std::vector<Text> picturesNeverShown;
    long long linesNeverReached = 0;
};

// Plays `games` games through the player's own logic over a headless window, without
// sound: game k is seeded with seed + k, and a choice is picked among the visible
// buttons with the same seed. Every game is bounded, so one that never ends stops the
// game, not the tool. Lines are not traced one by one: a scene takes the same lines on
// every visit, so a visited scene reaches every line that the checker found reachable.
PlaytestResult RunPlaytest(const Text& gameFolder, const GameCheck& check, long long games, std::uint64_t seed);

void PrintPlaytest(const PlaytestResult& result, std::ostream& out);

} // namespace miradel::check
