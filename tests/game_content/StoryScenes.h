// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

#include <string>
#include <string_view>
#include <vector>

namespace miradel::content {

// Names from the player's own table, in UTF-8.
std::vector<std::string> Utf8Names(const std::vector<Text>& names);

// One scene source as its writer sees it: UTF-8 lines without their line ends.
struct StoryScene {
    std::string name;
    std::vector<std::string> lines;
};

std::vector<StoryScene> LoadStory();
std::string ReadWholeFile(const std::string& path);
std::vector<std::string> SplitSourceLines(std::string_view text);

} // namespace miradel::content
