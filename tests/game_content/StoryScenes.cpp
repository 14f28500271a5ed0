#include "StoryScenes.h"

#include <fstream>
#include <iterator>

namespace miradel::content {

const std::vector<std::string>& GameSceneNames()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all{"opn", "not", "0", "1", "2", "3", "end0", "end1", "end2"};
        for (const char day : std::string_view("0123")) {
            for (const char choice : std::string_view("0123")) {
                all.push_back(std::string{day, choice});
            }
        }
        return all;
    }();
    return names;
}

const std::vector<std::string>& GamePictureNames()
{
    static const std::vector<std::string> names{"ttl", "0", "1", "2", "3", "4", "end0", "end1", "end2"};
    return names;
}

const std::vector<std::string>& BlinkingPictureNames()
{
    static const std::vector<std::string> names{"0", "1", "2", "3", "4"};
    return names;
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
    for (const std::string& name : GameSceneNames()) {
        story.push_back({name, SplitSourceLines(ReadWholeFile(std::string(MIRADEL_STORY_DIR) + "/" + name + ".txt"))});
    }
    return story;
}

bool EndsScene(std::string_view line)
{
    return line.starts_with("tugi") || line.starts_with(">end") || line.starts_with(">loop");
}

bool StopsPageBefore(std::string_view line)
{
    return EndsScene(line) || line.starts_with(">ive") || line == ">p";
}

bool IsCommand(std::string_view line)
{
    return EndsScene(line) || line.starts_with("--") || line.starts_with(">p") || line.starts_with(">img");
}

} // namespace miradel::content
