// SPDX-License-Identifier: MIT
#include "StoryScenes.h"

#include "game/SceneNames.h"

#include <fstream>
#include <iterator>

namespace miradel::content {

std::vector<std::string> Utf8Names(const std::vector<Text>& names)
{
    std::vector<std::string> utf8;
    for (const Text& name : names)
        utf8.push_back(TextToUtf8(name));
    return utf8;
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> SplitSourceLines(std::string_view text)
{
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

std::vector<StoryScene> LoadStory()
{
    std::vector<StoryScene> story;
    for (const std::string& name : Utf8Names(ScenesTheGameOpens())) {
        story.push_back(
            { name, SplitSourceLines(ReadWholeFile(std::string(MIRADEL_STORY_DIR) + "/" + name + ".txt")) });
    }
    return story;
}

} // namespace miradel::content
