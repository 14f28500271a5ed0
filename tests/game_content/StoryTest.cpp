// SPDX-License-Identifier: MIT
// Checks on the story sources for mistakes that neither the player nor miradel-check reports
// but a reader would suffer: pages turned before they can be read, runs over commands,
// scenes that end the wrong way.

#include "StoryScenes.h"
#include "game/Game.h"
#include "headless/HeadlessView.h"
#include "headless/MemoryContent.h"
#include "platform/Random.h"
#include "platform/RuntimeError.h"
#include "scenario/LineKind.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>

namespace miradel::content {

namespace {

std::string Where(const StoryScene& scene, std::size_t index)
{
    return "game/story/" + scene.name + ".txt:" + std::to_string(index + 1);
}

// How the player takes a line: the player's own rules.
bool IsCommand(std::string_view line)
{
    return ClassifyLine(TextFromUtf8(line)) != LineKind::TextLine;
}

bool IsShownLine(std::string_view line)
{
    return !line.empty() && !IsCommand(line);
}

bool IsEnding(const StoryScene& scene)
{
    return scene.name.starts_with("end");
}

TEST(StoryPacing, EveryScenePlaysAtLeastOneLine)
{
    for (const StoryScene& scene : LoadStory()) {
        EXPECT_TRUE(std::any_of(scene.lines.begin(), scene.lines.end(), IsShownLine)) << scene.name;
    }
}

// An empty line takes the next line at once; when that line stops the page (or the scene
// ends there) the page is turned or closed in the same moment, unread.
TEST(StoryPacing, EmptyLinesNeverTurnAPageUnread)
{
    for (const StoryScene& scene : LoadStory()) {
        for (std::size_t i = 0; i < scene.lines.size(); ++i) {
            if (!scene.lines[i].empty()) {
                continue;
            }
            const bool last = i + 1 == scene.lines.size();
            EXPECT_FALSE(last || StopsPageBefore(TextFromUtf8(scene.lines[i + 1]))) << Where(scene, i);
        }
    }
}

// Only a shown line before a lone ">p" waits for the click; after a picture change or a
// quick page turn the page would be cleared without one.
TEST(StoryPacing, PageBreaksFollowAShownLine)
{
    for (const StoryScene& scene : LoadStory()) {
        for (std::size_t i = 0; i < scene.lines.size(); ++i) {
            if (scene.lines[i] == ">p") {
                EXPECT_TRUE(i > 0 && IsShownLine(scene.lines[i - 1])) << Where(scene, i);
            }
        }
    }
}

// A run that met the end of its scene would go on stepping a closed scene; one that met a
// ">loop" could leave the day at 0 with the choices on offer.
TEST(StoryPacing, StepRunsTakeOnlyLinesOfText)
{
    for (const StoryScene& scene : LoadStory()) {
        for (std::size_t i = 0; i < scene.lines.size(); ++i) {
            const std::string& line = scene.lines[i];
            if (!line.starts_with("--")) {
                continue;
            }
            long long count = 0;
            std::from_chars(line.data() + 2, line.data() + line.size(), count);
            ASSERT_LE(i + static_cast<std::size_t>(std::max(count, 0LL)), scene.lines.size() - 1) << Where(scene, i);
            for (long long step = 1; step <= count; ++step) {
                EXPECT_FALSE(IsCommand(scene.lines[i + static_cast<std::size_t>(step)]))
                    << Where(scene, i + static_cast<std::size_t>(step));
            }
        }
    }
}

// Endings are opened by the next-day button: without ">end" they would offer the choices
// with every regular choice used up. No other scene restarts the game halfway.
TEST(StoryEndings, OnlyTheEndingsStartANewGame)
{
    for (const StoryScene& scene : LoadStory()) {
        ASSERT_FALSE(scene.lines.empty()) << scene.name;
        EXPECT_EQ(scene.lines.back().starts_with(">end"), IsEnding(scene)) << scene.name;
        for (std::size_t i = 0; i + 1 < scene.lines.size(); ++i) {
            EXPECT_FALSE(scene.lines[i].starts_with(">end")) << Where(scene, i);
        }
    }
}

// Plays the scene, as built, through the player over a headless window, one click at a
// time, and says whether a page ever filled up.
bool HasFullPage(const StoryScene& scene)
{
    constexpr std::uint8_t kFullPage = 30;
    MemoryContent content;
    content.SetScene(u"scene", ReadWholeFile(std::string(MIRADEL_GAME_DIR) + "/txt/" + scene.name + ".dat"));
    HeadlessView view;
    SeededRandom random(1);
    Game game(view, content, random);
    try {
        game.OpenScene(u"scene");
        while (game.player.SceneOpen()) {
            if (game.player.PageLines() >= kFullPage)
                return true;
            game.Lbl_Click();
        }
    } catch (const RuntimeError&) {
        // ">end" opens the opening, which is not here: the scene is over.
    }
    return false;
}

TEST(StoryCoverage, UsesEveryKindOfLineThePlayerKnows)
{
    const std::vector<StoryScene> story = LoadStory();
    const auto anyLine = [&story](auto&& predicate) {
        return std::any_of(story.begin(), story.end(), [&predicate](const StoryScene& scene) {
            return std::any_of(scene.lines.begin(), scene.lines.end(), predicate);
        });
    };
    EXPECT_TRUE(anyLine([](const std::string& l) { return l.starts_with("tugi"); }));
    EXPECT_TRUE(
        anyLine([](const std::string& l) { return l.starts_with("--") && l.size() > 2 && l[2] > '0' && l[2] <= '9'; }));
    EXPECT_TRUE(anyLine([](const std::string& l) { return l.starts_with(">end"); }));
    EXPECT_TRUE(anyLine([](const std::string& l) { return l == ">p"; }));
    EXPECT_TRUE(anyLine([](const std::string& l) { return l.starts_with(">p") && l.size() > 2; }));
    EXPECT_TRUE(anyLine([](const std::string& l) { return l.starts_with(">img"); }));
    EXPECT_TRUE(anyLine([](const std::string& l) { return l.starts_with(">loop"); }));
    EXPECT_TRUE(anyLine([](const std::string& l) { return l.starts_with(">ive"); }));
    EXPECT_TRUE(anyLine([](const std::string& l) { return l.empty(); }));
    EXPECT_TRUE(std::any_of(story.begin(), story.end(), HasFullPage));
}

} // namespace

} // namespace miradel::content
