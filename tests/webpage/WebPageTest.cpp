// SPDX-License-Identifier: MIT
#include "web/WebPage.h"
#include "FakeDom.h"
#include "game/SceneNames.h"
#include "platform/Random.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

// A page over the recording document, with the game on a server.
struct Page : ::testing::Test {
    FakeDom dom;
    std::unique_ptr<WebPage> page;
    std::map<std::string, std::string> scenes { { "opn", "one\r\n>img pic\r\ntwo\r\n" } };
    std::set<std::string> missingPictures;

    void SetUp() override
    {
        auto location = GameLocation::OnServer("game");
        location.SetFolderName("http://127.0.0.1/game/");
        page = std::make_unique<WebPage>(dom, std::move(location), std::make_unique<SeededRandom>(1));
    }

    void Answer(int request, FileAnswer answer, std::string bytes = {})
    {
        dom.answered.insert(request);
        page->FileArrived(request, answer, std::move(bytes));
    }

    void AnswerScenes()
    {
        for (const int request : dom.Pending(FileKind::Scene)) {
            const auto scene = scenes.find(dom.requests[request].key);
            if (scene == scenes.end())
                Answer(request, FileAnswer::Missing);
            else
                Answer(request, FileAnswer::Found, scene->second);
        }
    }

    void AnswerPictures()
    {
        for (const int request : dom.Pending(FileKind::Picture)) {
            const std::string& key = dom.requests[request].key;
            if (missingPictures.contains(key)) {
                Answer(request, FileAnswer::Missing);
            } else {
                dom.decodedPictures.insert(key);
                Answer(request, FileAnswer::Found);
            }
        }
    }

    void Load()
    {
        page->Start(1366, 768);
        AnswerScenes();
        AnswerPictures();
    }

    Text Message() { return dom.texts[PageElement::Message]; }
};

// Scenes and pictures are opened inside a step, a browser answers later: everything the game
// may open comes first, the pictures that the scenes name and the blink frames included. The
// game starts only then.
TEST_F(Page, EverythingIsFetchedBeforeTheGameStarts)
{
    page->Start(1366, 768);
    EXPECT_EQ(dom.Pending(FileKind::Scene).size(), ScenesTheGameOpens().size());
    EXPECT_EQ(dom.requests[0].source.addresses.front(), "game/txt/opn.dat");
    // The game's own pictures come with the scenes; those the scenes name once they are read.
    EXPECT_EQ(dom.Pending(FileKind::Picture).size(), PicturesTheGameShows().size() + BlinkingPictures().size());

    AnswerScenes();
    std::set<std::string> pictures;
    for (const int request : dom.Pending(FileKind::Picture))
        pictures.insert(dom.requests[request].key);
    EXPECT_EQ(pictures,
        (std::set<std::string> {
            "ttl", "0", "1", "2", "3", "4", "end0", "end1", "end2", "pic", "0_", "1_", "2_", "3_", "4_" }));
    EXPECT_FALSE(page->Started());
    EXPECT_FALSE(dom.Shown(PageElement::Message));

    AnswerPictures();
    EXPECT_TRUE(page->Started());
    EXPECT_EQ(dom.scene, u"opn");
    EXPECT_EQ(Message(), u"\r\none");
    EXPECT_EQ(dom.texts[PageElement::Day], u"0");
    EXPECT_EQ(dom.names[PageElement::Picture], u"ttl");
    EXPECT_EQ(dom.window.width, 614);
    EXPECT_FLOAT_EQ(dom.fontSizes[PageElement::Day], 40);
}

// A scene line ">img _" shows the blink frame of any picture: then every one is fetched.
TEST_F(Page, ABlinkFrameLineFetchesTheFramesOfEveryPicture)
{
    scenes["0"] = "a\r\n>img _\r\n";
    page->Start(1366, 768);
    AnswerScenes();
    std::set<std::string> pictures;
    for (const int request : dom.Pending(FileKind::Picture))
        pictures.insert(dom.requests[request].key);
    EXPECT_TRUE(pictures.contains("ttl_"));
    EXPECT_TRUE(pictures.contains("pic_"));
    EXPECT_FALSE(pictures.contains("__"));
}

TEST_F(Page, TicksAndClicksRevealTheSceneAndItsPicture)
{
    Load();
    EXPECT_TRUE(dom.pacing);
    EXPECT_EQ(dom.focus, PageElement::Message);
    page->TimSay_Timer();
    EXPECT_EQ(Message(), u"\r\none\r\ntwo▼");
    EXPECT_EQ(dom.names[PageElement::Picture], u"pic");
    EXPECT_FALSE(dom.pacing);

    // The click on the last page ends the scene: the next-day button takes the keyboard.
    page->Lbl_Click();
    EXPECT_FALSE(dom.Shown(PageElement::Message));
    EXPECT_TRUE(dom.Shown(PageElement::NextDay));
    EXPECT_EQ(dom.focus, PageElement::NextDay);
}

// A notch of the wheel towards the reader is a click; small steps add up; a turn away from
// the reader (short of a notch, which would open the backlog) starts the count again.
TEST_F(Page, TheWheelTowardsTheReaderReadsOn)
{
    scenes["opn"] = "1\r\n2\r\n3\r\n4\r\n";
    Load();
    page->Wheel(-120);
    EXPECT_EQ(Message(), u"\r\n1\r\n2");
    page->Wheel(-60);
    page->Wheel(60);
    EXPECT_FALSE(page->BacklogOpen());
    page->Wheel(-60);
    EXPECT_EQ(Message(), u"\r\n1\r\n2");
    page->Wheel(-60);
    EXPECT_EQ(Message(), u"\r\n1\r\n2\r\n3");
}

// The choices never take the keyboard by appearing: it rests on the page.
TEST_F(Page, TheChoicesAppearWithoutTheKeyboard)
{
    scenes["0"] = "day one\r\n";
    Load();
    page->TimSay_Timer();
    page->Lbl_Click();
    page->ComGame_Click();
    EXPECT_EQ(dom.scene, u"0");
    EXPECT_EQ(dom.focus, PageElement::Message);
    page->Lbl_Click();
    EXPECT_TRUE(dom.Shown(PageElement::Choice0));
    EXPECT_FALSE(dom.focus.has_value());
    EXPECT_EQ(page->KeyDown(" ", false).action, KeyAnswer::Action::Swallow);
    EXPECT_TRUE(dom.Shown(PageElement::Choice0));
    EXPECT_EQ(page->KeyDown("ArrowDown", false).action, KeyAnswer::Action::MoveFocus);
    EXPECT_EQ(dom.focus, PageElement::Choice0);
}

// The same message as the desktop's, with the file and the game folder; nothing runs after it.
TEST_F(Page, AMissingPictureEndsTheGameWithTheDesktopsMessage)
{
    missingPictures.insert("ttl");
    Load();
    EXPECT_EQ(dom.fatal,
        "エラーが発生したため、終了します。\n\nimg/ttl.jpg: 画像ファイルが見つかりません\n\nゲームフォルダ: "
        "http://127.0.0.1/game/");
    EXPECT_FALSE(dom.pacing);
    const Text before = Message();
    dom.fatal.clear();
    page->Lbl_Click();
    page->TimSay_Timer();
    page->ComGame_Click();
    EXPECT_EQ(Message(), before);
    EXPECT_TRUE(dom.fatal.empty()) << dom.fatal;
}

TEST_F(Page, AMissingSceneNamesItsFile)
{
    scenes.erase("opn");
    Load();
    EXPECT_NE(dom.fatal.find("txt/opn.dat: シナリオファイルが見つかりません"), std::string::npos) << dom.fatal;
}

// The music plays from start-up; its end, which the browser announces, lets the watch restart
// it from its beginning. No tick is spent while it plays.
TEST_F(Page, TheMusicIsRestartedByTheWatchWhenItEnds)
{
    Load();
    const std::vector<int> music = dom.Pending(FileKind::Music);
    ASSERT_EQ(music.size(), 1u);
    const int request = music.front();
    EXPECT_EQ(dom.requests[request].source.addresses.front(), "game/bgm.wav");
    Answer(request, FileAnswer::Found);
    EXPECT_EQ(dom.musicCalls, (std::vector<std::string> { "play " + std::to_string(request) }));
    page->BgmTim_Timer();
    EXPECT_LT(dom.watch, 0);

    dom.musicCalls.clear();
    page->MusicEnded(request);
    EXPECT_EQ(dom.musicCalls,
        (std::vector<std::string> { "stop " + std::to_string(request), "play from 0 " + std::to_string(request) }));
    // One more look after the restart, then quiet.
    EXPECT_GE(dom.watch, 0);
    dom.musicCalls.clear();
    page->BgmTim_Timer();
    EXPECT_TRUE(dom.musicCalls.empty());
    EXPECT_LT(dom.watch, 0);
}

// Without music the game goes on silently, and the watch never restarts anything.
TEST_F(Page, MissingMusicIsSilence)
{
    Load();
    const int request = dom.Pending(FileKind::Music).front();
    Answer(request, FileAnswer::Missing);
    dom.musicCalls.clear();
    page->MusicEnded(request);
    page->BgmTim_Timer();
    EXPECT_TRUE(dom.musicCalls.empty());
    EXPECT_TRUE(dom.fatal.empty());
}

} // namespace
} // namespace miradel
