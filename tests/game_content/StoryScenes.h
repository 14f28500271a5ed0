// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace miradel::content {

// The names the game opens, from the player's own table, in UTF-8.
const std::vector<std::string>& GameSceneNames();
const std::vector<std::string>& GamePictureNames();
const std::vector<std::string>& BlinkingPictureNames();

// One scene source as its writer sees it: UTF-8 lines without their line ends.
struct StoryScene {
    std::string name;
    std::vector<std::string> lines;
};

std::vector<StoryScene> LoadStory();
std::string ReadWholeFile(const std::string& path);
std::vector<std::string> SplitSourceLines(std::string_view text);

// How the player reads a line, by its first characters: the player's own rules.
bool StopsPageBefore(std::string_view line); // a text line before it waits for a click
bool IsCommand(std::string_view line); // everything that is not shown as text

} // namespace miradel::content
