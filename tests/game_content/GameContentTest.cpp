// SPDX-License-Identifier: MIT
// The scene encoder, and the bundled game as the build lays it out from the story sources:
// mistakes that neither the player nor miradel-check reports but that a player would suffer.

#include "SceneEncoder.h"
#include "game/Game.h"
#include "game/SceneNames.h"
#include "headless/HeadlessView.h"
#include "headless/MemoryContent.h"
#include "platform/Cp932.h"
#include "platform/Random.h"
#include "platform/RuntimeError.h"
#include "scenario/LineKind.h"
#include "support/GameFolder.h"

#include <QImage>
#include <QString>
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>

namespace miradel::content {
namespace {

const std::string kGameDir = MIRADEL_GAME_DIR;

// UTF-8 lines without their line ends (LF or CR LF).
std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
    return lines;
}

// One letter per line: e empty, t text, V ">ive" (text that stops the page), P ">p" alone,
// p ">p" with more, S "tugi", R "--", E ">end", I ">img", L ">loop".
std::string KindsOf(const std::vector<std::string>& lines)
{
    std::string kinds;
    for (const std::string& line : lines) {
        const LineKind kind = ClassifyLine(TextFromUtf8(line));
        if (kind == LineKind::TextLine)
            kinds += line.empty() ? 'e' : line.starts_with(">ive") ? 'V' : 't';
        else
            kinds += kind == LineKind::NewPage && line != ">p" ? 'p' : "SREPIL"[static_cast<int>(kind)];
    }
    return kinds;
}

// Whether a page ever fills up when the player shows the scene, a click at a time.
bool HasFullPage(const std::string& bytes)
{
    MemoryContent content;
    content.SetScene(u"scene", bytes);
    HeadlessView view;
    SeededRandom random(1);
    Game game(view, content, random);
    try {
        for (game.OpenScene(u"scene"); game.player.SceneOpen() && game.player.PageLines() < 30;)
            game.Lbl_Click();
    } catch (const RuntimeError&) {
        return false; // ">end" opens the opening, which is not here: the scene is over.
    }
    return game.player.SceneOpen();
}

// Each scene reads back as written, shows a line, and keeps clear of what a reader would
// suffer; together they use every kind of line with a run that takes lines, and a page fills.
TEST(BundledGame, ScenesReadBackPaceAndEndAsTheReaderNeeds)
{
    std::string allKinds;
    std::size_t longestRun = 0;
    bool fullPage = false;
    for (const Text& scene : ScenesTheGameOpens()) {
        const std::string name = TextToUtf8(scene);
        SCOPED_TRACE("game/story/" + name + ".txt");
        const std::string bytes = test::ReadWholeFile(kGameDir + "/txt/" + name + ".dat");
        const std::vector<std::string> lines = SplitLines(test::ReadWholeFile(MIRADEL_STORY_DIR "/" + name + ".txt"));
        EXPECT_EQ(SplitLines(TextToUtf8(DecodeCp932(bytes))), lines);
        fullPage = fullPage || HasFullPage(bytes);
        const std::string kinds = KindsOf(lines);
        allKinds += kinds;
        const auto lineOf = [&kinds](const char* pattern) {
            std::smatch found;
            return std::regex_search(kinds, found, std::regex(pattern)) ? found.position(0) + 1 : 0;
        };
        EXPECT_NE(lineOf("[tV]"), 0) << "shows nothing";
        // An empty line takes the next line at once: a page turned there is never read.
        EXPECT_EQ(lineOf("e([SEPLV]|$)"), 0) << "an empty line before a page stop";
        // After a picture change or a quick page turn nothing would wait for the click.
        EXPECT_EQ(lineOf("(^|[^tV])P"), 0) << "\">p\" after a line that is not shown";
        // Only endings restart the game: without ">end" they would offer the used-up choices.
        EXPECT_EQ(kinds.find('E'), name.starts_with("end") ? kinds.size() - 1 : std::string::npos);
        // A run over the end would step a closed scene; over ">loop", leave day 0 with choices.
        for (std::size_t i = 0; i < kinds.size(); ++i) {
            const auto count = static_cast<std::size_t>(std::max(RunCountOf(TextFromUtf8(lines[i])).value_or(0), 0));
            longestRun = std::max(longestRun, kinds[i] == 'R' ? count : 0);
            EXPECT_TRUE(kinds[i] != 'R'
                || (i + count < kinds.size()
                    && kinds.substr(i + 1, count).find_first_not_of("teV") == std::string::npos))
                << "a run that takes a command or passes the end at line " << i + 1;
        }
    }
    for (const char kind : std::string("etVPpSREIL"))
        EXPECT_NE(allKinds.find(kind), std::string::npos) << kind;
    EXPECT_GT(longestRun, 0u);
    EXPECT_TRUE(fullPage);
}

// Every picture at the painted size and no flat fill; every blink frame differs from its
// picture by more than a JPEG's noise, but in a small part only.
TEST(BundledGame, PicturesAndBlinkFramesShowWhatTheyShould)
{
    const auto load = [](const Text& name) {
        return QImage(QString::fromStdString(kGameDir + "/img/" + TextToUtf8(name) + ".jpg"));
    };
    for (const Text& name : PicturesTheGameShows()) {
        const QImage picture = load(name);
        EXPECT_EQ(picture.size(), QSize(640, 480)) << TextToUtf8(name);
        EXPECT_NE(picture.pixel(5, 5), picture.pixel(320, 240)) << TextToUtf8(name);
    }
    for (const Text& name : BlinkingPictures()) {
        const QImage picture = load(name);
        const QImage blink = load(name + u"_");
        ASSERT_EQ(blink.size(), picture.size()) << TextToUtf8(name);
        long long changed = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x)
                changed += std::abs(qGray(picture.pixel(x, y)) - qGray(blink.pixel(x, y))) > 40;
        }
        const double share = static_cast<double>(changed) / (picture.width() * picture.height());
        EXPECT_GT(share, 0.002) << TextToUtf8(name) << ": the blink would not be seen";
        EXPECT_LT(share, 0.2) << TextToUtf8(name) << ": the blink frame is another picture";
    }
}

TEST(BundledGame, MusicIsAHalfMinuteLoopThatStartsAndEndsInSilence)
{
    const std::string wave = test::ReadWholeFile(kGameDir + "/bgm.wav");
    const auto number = [&wave](std::size_t at, std::size_t count) {
        std::uint32_t value = 0;
        for (std::size_t i = count; i-- > 0;)
            value = (value << 8) | static_cast<unsigned char>(wave.at(at + i));
        return value;
    };
    ASSERT_EQ(wave.substr(0, 4) + wave.substr(8, 8) + wave.substr(36, 4), "RIFFWAVEfmt data");
    ASSERT_EQ(number(20, 2), 1u); // PCM
    ASSERT_EQ(number(34, 2), 16u);
    ASSERT_EQ(wave.size(), 44u + number(40, 4));
    const double seconds = number(40, 4) / static_cast<double>(number(28, 4));
    EXPECT_TRUE(seconds >= 20.0 && seconds <= 60.0) << seconds;
    // The player restarts from the beginning: both ends silent, or the seam clicks.
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_LE(std::abs(static_cast<std::int16_t>(number(44 + 2 * i, 2))), i == 0 ? 0 : 64);
        EXPECT_LE(std::abs(static_cast<std::int16_t>(number(wave.size() - 2 - 2 * i, 2))), i == 0 ? 0 : 64);
    }
}

// Every line is checked: characters that code page 932 cannot hold, bytes that are not
// UTF-8, and exactly the "--" lines whose count the player cannot read; nothing is written.
TEST(SceneEncoder, ReportsEveryLineThePlayerCannotTake)
{
    const EncodedScene scene = EncodeScene("ミオ\n星が한つ\nok\n🌙と\nab\xE3\x81\n--x\n--99999999999\n-- 3\n--+2\n");
    const std::vector<std::pair<long long, long long>> at = { { 2, 3 }, { 4, 1 }, { 5, 3 }, { 6, 3 }, { 7, 3 } };
    ASSERT_EQ(scene.errors.size(), at.size());
    for (std::size_t i = 0; i < at.size(); ++i)
        EXPECT_EQ(std::pair(scene.errors[i].line, scene.errors[i].column), at[i]) << scene.errors[i].message;
    EXPECT_NE(scene.errors[0].message.find("U+D55C"), std::string::npos);
    EXPECT_NE(scene.errors[1].message.find("U+1F319"), std::string::npos);
    EXPECT_NE(scene.errors[2].message.find("not UTF-8"), std::string::npos);
    EXPECT_TRUE(scene.bytes.empty());
}

} // namespace
} // namespace miradel::content
