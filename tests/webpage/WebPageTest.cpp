// SPDX-License-Identifier: MIT
#include "web/WebPage.h"
#include "FakeDom.h"
#include "game/SceneNames.h"
#include "platform/Random.h"

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

// A notch of the wheel towards the reader is a click; small steps add up; a turn away from the
// reader (short of a notch, which would open the backlog) starts the count again.
TEST_F(Page, TheWheelTowardsTheReaderReadsOn)
{
    scenes["opn"] = "1\r\n2\r\n3\r\n4\r\n";
    Load();
    page->Wheel(-120);
    EXPECT_EQ(Message(), u"\r\n1\r\n2");
    page->Wheel(-60);
    page->Wheel(60);
    page->Wheel(-60);
    EXPECT_EQ(Message(), u"\r\n1\r\n2");
    page->Wheel(-60);
    EXPECT_EQ(Message(), u"\r\n1\r\n2\r\n3");
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

} // namespace
} // namespace miradel
