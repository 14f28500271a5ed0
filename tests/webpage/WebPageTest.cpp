// SPDX-License-Identifier: MIT
#include "web/WebPage.h"
#include "FakeDom.h"
#include "game/SceneNames.h"
#include "platform/Random.h"
#include "support/HeadlessFixture.h"
#include "web/PageKeys.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

// A server has no listing: the name as written, then its folders and its file name each in either
// case, never the same address twice. Names written on Windows separate folders with "\".
TEST(PageContent, AServerIsAskedForTheNameAsWrittenThenInEachCase)
{
    EXPECT_EQ(ServerCandidates(ContentPath(u"img/", u"a\\Ttl", u".jpg")),
        (std::vector<std::string> {
            "img/a/Ttl.jpg", "img/a/ttl.jpg", "IMG/A/TTL.JPG", "img/a/TTL.JPG", "IMG/A/Ttl.jpg", "IMG/A/ttl.jpg" }));
    EXPECT_EQ(ServerCandidates("bgm.wav"), (std::vector<std::string> { "bgm.wav", "BGM.WAV" }));
}

// A picked folder lists its files: the exact name, else the one file that matches ignoring case,
// as on the desktop. The game is the highest folder with an opening scene: a player may pick the
// folder around it.
TEST(PageContent, APickedFolderIsMatchedIgnoringCaseButNotAmbiguously)
{
    const GameLocation picked = GameLocation::Picked({ "Downloads/notes.txt", "Downloads/Game/TXT/OPN.DAT",
        "Downloads/Game/img/ttl.jpg", "Downloads/Game/img/Ttl.jpg", "Downloads/Game/img/A.jpg",
        "Downloads/Game/img/a.JPG", "Downloads/Game/ＢＧＭ.wav", "Downloads/Game/old/txt/opn.dat" });
    EXPECT_EQ(picked.FolderName(), "Downloads/Game/");
    const std::pair<const char*, int> found[] = { { "txt/opn.dat", 1 }, { "img/ttl.jpg", 2 }, { "img/TTL.jpg", -1 },
        { "img/a.jpg", -1 }, { "ｂｇｍ.WAV", 6 }, { "txt/none.dat", -1 } };
    for (const auto& [path, index] : found)
        EXPECT_EQ(picked.SourceOf(path).pickedIndex, index) << path;
}

// In the message area Space, Enter and Down read on; resting on the page only the arrows move
// onto a button; on a button Enter presses it unless held from before, and the arrows go round
// the buttons on show in tab order: the choices 0 to 2, the next-day button, the fourth choice.
TEST(PageKeys, AnswerByKeyAndWhereTheKeyboardIs)
{
    using enum KeyAnswer::Action;
    using enum PageElement;
    constexpr std::array<bool, 5> three = { true, true, true, false, false }, four = { true, true, true, true, false };
    constexpr std::array<bool, 5> nextDay = { false, false, false, false, true };
    // The key, whether it repeats, where the keyboard is, the buttons on show, the message area on
    // show: the answer.
    const std::tuple<const char*, bool, std::optional<PageElement>, std::array<bool, 5>, bool, KeyAnswer> rows[] = {
        { " ", false, Message, {}, true, { ClickMessage } },
        { "Enter", true, Message, {}, true, { ClickMessage } },
        { "ArrowDown", false, std::nullopt, {}, true, { ClickMessage } },
        { "ArrowUp", false, Message, {}, true, { Pass } },
        { "Tab", false, Message, {}, true, { Pass } },
        { " ", false, std::nullopt, three, false, { Swallow } },
        { "Enter", false, std::nullopt, three, false, { Swallow } },
        { "Tab", false, std::nullopt, three, false, { Pass } },
        { "ArrowDown", false, std::nullopt, three, false, { MoveFocus, Choice0 } },
        { "ArrowUp", false, std::nullopt, four, false, { MoveFocus, Choice3 } },
        { "Enter", false, Choice1, three, false, { ClickFocused } },
        { "Enter", true, NextDay, nextDay, false, { Swallow } },
        { " ", false, Choice1, three, false, { Pass } },
        { "ArrowDown", false, Choice2, four, false, { MoveFocus, Choice3 } },
        { "ArrowRight", false, Choice3, four, false, { MoveFocus, Choice0 } },
        { "ArrowLeft", false, Choice0, three, false, { MoveFocus, Choice2 } },
        { "ArrowUp", false, Choice2, three, false, { MoveFocus, Choice1 } },
    };
    for (const auto& [key, repeat, focused, shown, messageShown, expected] : rows) {
        const KeyAnswer answer = AnswerKey(key, repeat, focused, shown, messageShown);
        EXPECT_EQ(std::pair(answer.action, answer.moveTo), std::pair(expected.action, expected.moveTo))
            << "'" << key << "' " << focused.has_value();
    }
}

// A page over the recording document, with the game on a server.
struct Page : ::testing::Test {
    FakeDom dom;
    std::unique_ptr<WebPage> page
        = std::make_unique<WebPage>(dom, GameLocation::OnServer("game"), std::make_unique<SeededRandom>(1));
    std::map<std::string, std::string> scenes { { "opn", "one\r\n>img pic\r\ntwo\r\n" } };
    std::set<std::string> missingPictures;

    // Answers what is asked of a kind: the scenes in `scenes`, the pictures not missing.
    std::set<std::string> AnswerAll(FileKind kind)
    {
        std::set<std::string> keys;
        for (const int request : dom.Pending(kind)) {
            const std::string key = dom.requests[request].key;
            keys.insert(key);
            dom.decodedPictures.insert(key);
            const bool found = kind == FileKind::Scene ? scenes.contains(key) : !missingPictures.contains(key);
            dom.answered.insert(request);
            page->FileArrived(request, found ? FileAnswer::Found : FileAnswer::Missing,
                found && kind == FileKind::Scene ? scenes[key] : "");
        }
        return keys;
    }

    void Load()
    {
        page->Start(1366, 768);
        AnswerAll(FileKind::Scene);
        AnswerAll(FileKind::Picture);
    }

    Text Message() { return dom.texts[PageElement::Message]; }
};

// Scenes and pictures are opened inside a step, a browser answers later: everything the game may
// open comes first, the pictures that the scenes name and the blink frames included.
TEST_F(Page, EverythingIsFetchedBeforeTheGameStarts)
{
    page->Start(1366, 768);
    EXPECT_EQ(dom.requests[0].source.addresses.front(), "game/txt/opn.dat");
    EXPECT_EQ(AnswerAll(FileKind::Scene).size(), ScenesTheGameOpens().size());
    EXPECT_FALSE(page->Started());
    EXPECT_EQ(AnswerAll(FileKind::Picture),
        (std::set<std::string> {
            "ttl", "0", "1", "2", "3", "4", "end0", "end1", "end2", "pic", "0_", "1_", "2_", "3_", "4_" }));
    EXPECT_EQ(dom.scene, u"opn");
}

// A scene line ">img _" shows the blink frame of any picture: then every one is fetched.
TEST_F(Page, ABlinkFrameLineFetchesTheFramesOfEveryPicture)
{
    scenes["0"] = "a\r\n>img _\r\n";
    page->Start(1366, 768);
    AnswerAll(FileKind::Scene);
    const std::set<std::string> pictures = AnswerAll(FileKind::Picture);
    EXPECT_TRUE(pictures.contains("ttl_") && pictures.contains("pic_") && !pictures.contains("__"));
}

// The ticks stop at the page's end.
TEST_F(Page, PacingStopsAtThePagesEnd)
{
    Load();
    EXPECT_TRUE(dom.pacing);
    page->TimSay_Timer();
    EXPECT_EQ(Message(), u"\r\none\r\ntwo▼");
    EXPECT_FALSE(dom.pacing);
}

// After a fatal error the timers stop and nothing runs (the browser test reads the message).
TEST_F(Page, AFatalErrorStopsThePage)
{
    missingPictures = { "pic" };
    Load();
    page->TimSay_Timer();
    ASSERT_NE(dom.fatal.find("img/pic.jpg"), std::string::npos) << dom.fatal;
    EXPECT_FALSE(dom.pacing);
    const Text before = Message();
    dom.fatal.clear();
    page->Lbl_Click();
    page->TimSay_Timer();
    page->ComGame_Click();
    EXPECT_EQ(Message(), before);
    EXPECT_TRUE(dom.fatal.empty()) << dom.fatal;
}

// The music plays from start-up; its end, which the browser announces, lets the watch restart it
// from its beginning. No tick is spent while it plays.
TEST_F(Page, TheMusicIsRestartedByTheWatchWhenItEnds)
{
    Load();
    const int request = dom.Pending(FileKind::Music).at(0);
    const std::string id = std::to_string(request);
    EXPECT_EQ(dom.requests[request].source.addresses.front(), "game/bgm.wav");
    page->FileArrived(request, FileAnswer::Found, {});
    page->BgmTim_Timer();
    EXPECT_LT(dom.watch, 0);
    page->MusicEnded(request);
    EXPECT_EQ(dom.musicCalls, (std::vector<std::string> { "play " + id, "stop " + id, "play from 0 " + id }));
    // One more look after the restart, then quiet.
    EXPECT_GE(dom.watch, 0);
    page->BgmTim_Timer();
    EXPECT_EQ(dom.musicCalls.size(), 3u);
    EXPECT_LT(dom.watch, 0);
}

// A file that cannot be had is closed; the game goes on silently and the watch restarts nothing.
TEST_F(Page, MissingMusicIsSilence)
{
    Load();
    const int request = dom.Pending(FileKind::Music).at(0);
    page->FileArrived(request, FileAnswer::Missing, {});
    page->MusicEnded(request);
    page->BgmTim_Timer();
    const std::string id = std::to_string(request);
    EXPECT_EQ(dom.musicCalls, (std::vector<std::string> { "play " + id, "release " + id }));
    EXPECT_TRUE(dom.fatal.empty());
}

using Action = KeyAnswer::Action;
constexpr KeyModifiers kControl { .control = true };

// The page's keys, wheel and clicks reaching the reading rules: an opening of two pages and more
// read to its 41st line, then the next day.
struct PageReadingTest : Page {
    void SetUp() override
    {
        scenes["opn"].clear();
        for (int line = 1; line <= 70; ++line)
            scenes["opn"] += "line" + std::to_string(line) + "\r\n";
        Load();
        for (int click = 0; click < 40; ++click)
            page->Lbl_Click();
        dom.backlog = { 0, 20, 4 };
    }
    std::string Caption() { return test::ShownMessage(Message()); }
    std::string NextLine() { return TextToUtf8(page->TheGame().player.NextLine()); }
};

TEST_F(PageReadingTest, SkipKeysRunFramesThatClickAndStopAtTheButtons)
{
    page->KeyDown("Control", false, kControl);
    EXPECT_EQ(dom.skipInterval, 16);
    EXPECT_FALSE(page->KeyUp("Control"));
    EXPECT_EQ(dom.skipInterval, 0);
    page->KeyDown("Control", false, kControl);
    page->FocusLost();
    EXPECT_EQ(dom.skipInterval, 0) << "a page that loses the keyboard never hears Ctrl let go";
    EXPECT_EQ(page->KeyDown("s", false).action, Action::Swallow);
    page->KeyDown("S", true, { .shift = true });
    EXPECT_EQ(dom.skipInterval, 16);

    page->KeyDown("PageUp", false);
    const std::string before = Caption();
    const std::string next = NextLine();
    for (int frame = 0; frame < 5; ++frame)
        page->SkipFrame();
    EXPECT_EQ(Caption(), before) << "it waits under the backlog";
    page->KeyDown("Escape", false);
    page->SkipFrame();
    EXPECT_EQ(Caption(), before + "|" + next) << "a frame is one click";
    for (int frame = 0; frame < 200 && dom.Shown(PageElement::Message); ++frame)
        page->SkipFrame();
    ASSERT_TRUE(dom.Shown(PageElement::NextDay));
    page->SkipFrame();
    EXPECT_EQ(dom.skipInterval, 0);
    EXPECT_EQ(page->TheGame().state.day, 0) << "the next-day button was not pressed";
}

TEST_F(PageReadingTest, BacklogOverTheMessageAreaHoldsThePageAndGivesItBack)
{
    const std::string message = Caption();
    const std::string next = NextLine();
    page->KeyDown("PageUp", false);
    ASSERT_TRUE(dom.Shown(PageElement::Backlog));
    const PixelRect over = dom.places[PageElement::Backlog], area = dom.places[PageElement::Message];
    EXPECT_EQ(std::tie(over.x, over.y, over.width), std::tie(area.x, area.y, area.width));
    EXPECT_EQ(dom.fontSizes[PageElement::Backlog], dom.fontSizes[PageElement::Message]);
    const std::string history = TextToUtf8(dom.texts[PageElement::Backlog]);
    EXPECT_TRUE(history.starts_with("line1\nline2\n") && history.ends_with("\nline41")) << history;
    EXPECT_NE(history.find("line30\n\nline31\n"), std::string::npos) << "a blank line between pages";
    EXPECT_EQ(dom.backlog.first, 16) << "opened at the newest line, a page back";
    page->Wheel(120, false);
    page->KeyDown("ArrowUp", false);
    page->KeyDown("PageDown", false);
    page->KeyDown("ArrowDown", false);
    EXPECT_EQ(dom.backlog.first, 17) << "a notch is three lines back";

    dom.pacing = true;
    page->TimSay_Timer();
    page->KeyDown("Enter", true);
    EXPECT_EQ(page->KeyDown("Escape", false).action, Action::Swallow);
    EXPECT_FALSE(dom.Shown(PageElement::Backlog) || !dom.texts[PageElement::Backlog].empty());
    EXPECT_TRUE(page->KeyUp("Escape")) << "the closing key's release is the backlog's";
    EXPECT_FALSE(page->KeyUp("a"));
    EXPECT_TRUE(page->Wheel(240, true));
    for (int notch = 0; notch < 100 && page->BacklogOpen(); ++notch)
        EXPECT_TRUE(page->Wheel(-120, false)) << "anywhere in the game";
    page->KeyDown("PageUp", false);
    EXPECT_TRUE(page->GameClicked());
    EXPECT_FALSE(page->GameClicked()) << "closed, a click is the game's";
    // Small steps towards the reader add up to a notch, which reads on; a turn away starts afresh.
    for (const int turn : { -60, 60, -60 })
        page->Wheel(turn);
    EXPECT_EQ(Caption(), message);
    page->Wheel(-60);
    EXPECT_EQ(Caption(), message + "|" + next);
}

TEST_F(PageReadingTest, FullScreenIsAskedOfTheBrowserAndTheLayoutFollowsIt)
{
    const PixelRect window = dom.window;
    EXPECT_EQ(page->KeyDown("Escape", false).action, Action::Pass) << "not full screen: not ours";
    page->KeyDown("Enter", false, { .alt = true });
    EXPECT_EQ(dom.fullScreenAsked, std::vector<bool> { true });
    page->FullScreenChanged(true, 1920, 1080);
    EXPECT_EQ(std::pair(dom.window.x, dom.window.width), std::pair(150, 1620));
    page->KeyDown("Escape", false);
    EXPECT_EQ(dom.fullScreenAsked, (std::vector<bool> { true, false }));
    page->FullScreenChanged(false, 1366, 768);
    EXPECT_EQ(std::pair(dom.window.x, dom.window.width), std::pair(window.x, window.width));
}

} // namespace
} // namespace miradel
