// SPDX-License-Identifier: MIT
#include "FakeDom.h"
#include "support/HeadlessFixture.h"
#include "web/WebPage.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

using Action = KeyAnswer::Action;
constexpr KeyModifiers kControl { .control = true };

// The page's keys, wheel and clicks reaching the reading rules, over the recording document
// with the game's files answered at once: an opening of two pages and more, then choices.
class PageReadingTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string opening;
        for (int line = 1; line <= 70; ++line)
            opening += "line" + std::to_string(line) + "\r\n";
        page.Start(1366, 768);
        for (const int request : dom.Pending(FileKind::Scene)) {
            const bool found = dom.requests[request].key == "opn";
            page.FileArrived(request, found ? FileAnswer::Found : FileAnswer::Missing, found ? opening : "");
        }
        for (const int request : dom.Pending(FileKind::Picture)) {
            dom.decodedPictures.insert(dom.requests[request].key);
            page.FileArrived(request, FileAnswer::Found, {});
        }
        for (int click = 0; click < 40; ++click)
            page.Lbl_Click();
        dom.backlog = { 0, 20, 4 };
    }
    std::string Message() { return test::ShownMessage(dom.texts[PageElement::Message]); }
    std::string NextLine() { return TextToUtf8(page.TheGame().player.NextLine()); }

    FakeDom dom;
    WebPage page { dom, GameLocation::OnServer("game"), std::make_unique<test::ScriptedRandom>() };
};

TEST_F(PageReadingTest, SkipKeysRunFramesThatClickAndStopAtTheButtons)
{
    page.KeyDown("Control", false, kControl);
    EXPECT_EQ(dom.skipInterval, 16);
    EXPECT_FALSE(page.KeyUp("Control"));
    EXPECT_EQ(dom.skipInterval, 0);
    page.KeyDown("Control", false, kControl);
    page.FocusLost();
    EXPECT_EQ(dom.skipInterval, 0) << "a page that loses the keyboard never hears Ctrl let go";
    EXPECT_EQ(page.KeyDown("s", false).action, Action::Swallow);
    page.KeyDown("S", true, { .shift = true });
    EXPECT_EQ(dom.skipInterval, 16);

    page.KeyDown("PageUp", false);
    const std::string before = Message();
    const std::string next = NextLine();
    for (int frame = 0; frame < 5; ++frame)
        page.SkipFrame();
    EXPECT_EQ(Message(), before) << "it waits under the backlog";
    page.KeyDown("Escape", false);
    page.SkipFrame();
    EXPECT_EQ(Message(), before + "|" + next) << "a frame is one click";
    for (int frame = 0; frame < 200 && dom.Shown(PageElement::Message); ++frame)
        page.SkipFrame();
    ASSERT_TRUE(dom.Shown(PageElement::NextDay));
    page.SkipFrame();
    EXPECT_EQ(dom.skipInterval, 0);
    EXPECT_EQ(page.TheGame().state.day, 0) << "the next-day button was not pressed";
}

TEST_F(PageReadingTest, BacklogOverTheMessageAreaHoldsThePageAndGivesItBack)
{
    const std::string message = Message();
    const std::string next = NextLine();
    page.KeyDown("PageUp", false);
    ASSERT_TRUE(dom.Shown(PageElement::Backlog));
    const PixelRect over = dom.places[PageElement::Backlog], area = dom.places[PageElement::Message];
    EXPECT_EQ(std::tie(over.x, over.y, over.width), std::tie(area.x, area.y, area.width));
    EXPECT_EQ(dom.fontSizes[PageElement::Backlog], dom.fontSizes[PageElement::Message]);
    const std::string history = TextToUtf8(dom.texts[PageElement::Backlog]);
    EXPECT_TRUE(history.starts_with("line1\nline2\n") && history.ends_with("\nline41")) << history;
    EXPECT_NE(history.find("line30\n\nline31\n"), std::string::npos) << "a blank line between pages";
    EXPECT_EQ(dom.backlog.first, 16) << "opened at the newest line, a page back";
    page.Wheel(120, false);
    page.KeyDown("ArrowUp", false);
    page.KeyDown("PageDown", false);
    page.KeyDown("ArrowDown", false);
    EXPECT_EQ(dom.backlog.first, 17) << "a notch is three lines back";

    dom.pacing = true;
    page.TimSay_Timer();
    page.KeyDown("Enter", true);
    EXPECT_EQ(page.KeyDown("Escape", false).action, Action::Swallow);
    EXPECT_FALSE(dom.Shown(PageElement::Backlog) || !dom.texts[PageElement::Backlog].empty());
    EXPECT_TRUE(page.KeyUp("Escape")) << "the closing key's release is the backlog's";
    EXPECT_FALSE(page.KeyUp("a"));
    EXPECT_TRUE(page.Wheel(240, true));
    for (int notch = 0; notch < 100 && page.BacklogOpen(); ++notch)
        EXPECT_TRUE(page.Wheel(-120, false)) << "anywhere in the game";
    page.KeyDown("PageUp", false);
    EXPECT_TRUE(page.GameClicked());
    EXPECT_FALSE(page.GameClicked()) << "closed, a click is the game's";
    EXPECT_EQ(Message(), message);
    page.Lbl_Click();
    EXPECT_EQ(Message(), message + "|" + next);
}

TEST_F(PageReadingTest, FullScreenIsAskedOfTheBrowserAndTheLayoutFollowsIt)
{
    const PixelRect window = dom.window;
    EXPECT_EQ(page.KeyDown("Escape", false).action, Action::Pass) << "not full screen: not ours";
    page.KeyDown("Enter", false, { .alt = true });
    EXPECT_EQ(dom.fullScreenAsked, std::vector<bool> { true });
    page.FullScreenChanged(true, 1920, 1080);
    EXPECT_EQ(std::pair(dom.window.x, dom.window.width), std::pair(150, 1620));
    page.KeyDown("Escape", false);
    EXPECT_EQ(dom.fullScreenAsked, (std::vector<bool> { true, false }));
    page.FullScreenChanged(false, 1366, 768);
    EXPECT_EQ(std::pair(dom.window.x, dom.window.width), std::pair(window.x, window.width));
}

} // namespace
} // namespace miradel
