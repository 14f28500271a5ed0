// SPDX-License-Identifier: MIT
#include "FakeDom.h"
#include "support/HeadlessFixture.h"
#include "web/WebPage.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

using test::OfferShown;
using test::ScriptedRandom;
using test::ShownMessage;

// A page of the game on a server over the recording document, its files answered at once:
// an opening of two pages and more, a first day that offers choices.
struct LoadedPage {
    FakeDom dom;
    ScriptedRandom* random = nullptr;
    std::unique_ptr<WebPage> page;

    LoadedPage()
    {
        std::string opening;
        for (int line = 1; line <= 70; ++line)
            opening += "line" + std::to_string(line) + (line == 3 ? "\r\n>img 0\r\n" : "\r\n");
        const std::map<std::string, std::string> scenes { { "opn", opening }, { "0", "day one\r\nline two\r\n" } };
        auto source = std::make_unique<ScriptedRandom>();
        source->SetDefault(0.5);
        random = source.get();
        page = std::make_unique<WebPage>(dom, GameLocation::OnServer("game"), std::move(source));
        page->Start(1366, 768);
        for (const int request : dom.Pending(FileKind::Scene)) {
            const auto scene = scenes.find(dom.requests[request].key);
            dom.answered.insert(request);
            page->FileArrived(request, scene == scenes.end() ? FileAnswer::Missing : FileAnswer::Found,
                scene == scenes.end() ? std::string() : scene->second);
        }
        for (const int request : dom.Pending(FileKind::Picture)) {
            dom.decodedPictures.insert(dom.requests[request].key);
            dom.answered.insert(request);
            page->FileArrived(request, FileAnswer::Found, {});
        }
    }

    std::string Message() { return ShownMessage(dom.texts[PageElement::Message]); }
    std::string Offer()
    {
        return OfferShown(dom.Shown(PageElement::Message), dom.Shown(PageElement::NextDay),
            dom.Shown(PageElement::Choice0) || dom.Shown(PageElement::Choice3));
    }
    std::string NextLine() { return TextToUtf8(page->TheGame().player.NextLine()); }
    std::string Seen()
    {
        return Offer() + " " + TextToUtf8(dom.scene) + " draws " + std::to_string(random->Draws()) + " [" + Message()
            + "]";
    }
    void Tick()
    {
        if (dom.pacing)
            page->TimSay_Timer();
    }
};

std::string Shape(const PixelRect& rect)
{
    return std::to_string(rect.x) + "," + std::to_string(rect.y) + " " + std::to_string(rect.width) + "x"
        + std::to_string(rect.height);
}

constexpr KeyModifiers kControl { .control = true };
constexpr KeyModifiers kAlt { .alt = true };

// Skipping is a player clicking the message area once a frame while it is on show, ticks of
// the pacing timer coming in between as they would; at the buttons it waits and presses none.
TEST(PageSkip, IsExactlyAClickPerFrameAndStopsAtEveryButton)
{
    LoadedPage skipped;
    LoadedPage clicked;
    skipped.page->KeyDown("Control", false, kControl);
    EXPECT_EQ(skipped.dom.skipInterval, 16);
    auto playBoth = [&](int frames) {
        for (int frame = 0; frame < frames; ++frame) {
            if (frame % 3 == 0) {
                skipped.Tick();
                clicked.Tick();
            }
            skipped.page->SkipFrame();
            if (clicked.Offer() == "scene")
                clicked.page->Lbl_Click();
            ASSERT_EQ(skipped.Seen(), clicked.Seen()) << "frame " << frame;
        }
    };
    playBoth(200);
    ASSERT_EQ(skipped.Offer(), "next day");
    EXPECT_GT(skipped.random->Draws(), 0) << "the blink drew as it would";

    skipped.page->ComGame_Click();
    clicked.page->ComGame_Click();
    playBoth(20);
    EXPECT_EQ(skipped.Offer(), "choices");
    EXPECT_EQ(TextToUtf8(skipped.dom.scene), "0") << "no choice was taken";
    EXPECT_EQ(skipped.dom.skipInterval, 16) << "held, it waits on";
    EXPECT_FALSE(skipped.page->KeyUp("Control"));
    EXPECT_EQ(skipped.dom.skipInterval, 0);
}

TEST(PageSkip, KeysHoldAndToggleIt)
{
    LoadedPage loaded;
    WebPage& page = *loaded.page;
    page.KeyDown("Control", false, kControl);
    EXPECT_TRUE(page.Skipping().Held());
    // A page that loses the keyboard never hears Ctrl let go.
    page.FocusLost();
    EXPECT_FALSE(page.Skipping().Active());
    EXPECT_EQ(loaded.dom.skipInterval, 0);

    const std::string before = loaded.Message();
    EXPECT_EQ(page.KeyDown("s", false).action, KeyAnswer::Action::Swallow);
    EXPECT_TRUE(page.Skipping().Active());
    EXPECT_EQ(loaded.Message(), before) << "S reads nothing on by itself";
    page.KeyDown("S", false, { .shift = true });
    EXPECT_FALSE(page.Skipping().Active());
    page.KeyDown("s", true);
    EXPECT_FALSE(page.Skipping().Active()) << "a held S does not toggle again and again";
    EXPECT_EQ(page.KeyDown("s", false, kControl).action, KeyAnswer::Action::Pass) << "Ctrl+S is the browser's";
    EXPECT_FALSE(page.Skipping().Active());

    // Switched on by S, it waits under the backlog and ends where it stops.
    page.KeyDown("s", false);
    page.KeyDown("PageUp", false);
    for (int frame = 0; frame < 5; ++frame)
        page.SkipFrame();
    EXPECT_EQ(loaded.Message(), before);
    EXPECT_TRUE(page.Skipping().Active());
    page.KeyDown("Escape", false);
    for (int frame = 0; frame < 200 && loaded.Offer() == "scene"; ++frame)
        page.SkipFrame();
    ASSERT_EQ(loaded.Offer(), "next day");
    page.SkipFrame();
    EXPECT_FALSE(page.Skipping().Active());
    EXPECT_EQ(loaded.dom.skipInterval, 0);
    EXPECT_EQ(page.TheGame().state.day, 0) << "the next-day button was not pressed";
}

// Some lines into the opening's second page, the backlog's text wrapped into 21 lines of
// which 4 show at a time.
struct PageBacklog : ::testing::Test {
    LoadedPage loaded;
    WebPage& page = *loaded.page;
    FakeDom& dom = loaded.dom;

    void SetUp() override
    {
        for (int click = 0; click < 40; ++click)
            page.Lbl_Click();
        dom.backlog = { 0, 20, 4 };
    }
};

TEST_F(PageBacklog, ShowsThePagesReadOverTheMessageArea)
{
    page.KeyDown("PageUp", false);
    ASSERT_TRUE(page.BacklogOpen());
    EXPECT_TRUE(dom.Shown(PageElement::Backlog));
    EXPECT_EQ(Shape(dom.places[PageElement::Backlog]), Shape(dom.places[PageElement::Message]));
    EXPECT_EQ(dom.fontSizes[PageElement::Backlog], dom.fontSizes[PageElement::Message]);
    const std::string history = TextToUtf8(dom.texts[PageElement::Backlog]);
    EXPECT_TRUE(history.starts_with("line1\nline2\n")) << history;
    EXPECT_NE(history.find("line30\n\nline31\n"), std::string::npos) << "a blank line between pages";
    EXPECT_EQ(history.find("▼"), std::string::npos);
    std::string onShow;
    for (const char c : TextToUtf8(page.View().Message()))
        if (c != '\r')
            onShow += c;
    ASSERT_TRUE(onShow.starts_with("\nline31\n")) << onShow;
    EXPECT_TRUE(history.ends_with("line30\n" + onShow)) << "the page on show comes last: " << history;
    page.KeyDown("Escape", false);
    EXPECT_FALSE(dom.Shown(PageElement::Backlog));
    EXPECT_TRUE(dom.texts[PageElement::Backlog].empty());
}

TEST_F(PageBacklog, WhileOpenNothingAdvancesAndClosingReturnsToThePage)
{
    const std::string before = loaded.Seen();
    const std::string messageBefore = loaded.Message();
    const std::string nextLine = loaded.NextLine();
    const std::optional<PageElement> focus = dom.focus;
    ASSERT_EQ(focus, PageElement::Message);

    struct Way {
        const char* name;
        std::function<void()> open, close;
    };
    const Way ways[] = {
        { "PageUp, Escape", [&] { page.KeyDown("PageUp", false); },
            [&] {
                EXPECT_EQ(page.KeyDown("Escape", false).action, KeyAnswer::Action::Swallow);
                EXPECT_TRUE(page.KeyUp("Escape"));
            } },
        { "wheel, click", [&] { EXPECT_TRUE(page.Wheel(120, true)); }, [&] { EXPECT_TRUE(page.GameClicked()); } },
        { "PageUp, Enter", [&] { page.KeyDown("PageUp", false); },
            [&] {
                page.KeyDown("Enter", false);
                EXPECT_TRUE(page.KeyUp("Enter")) << "its release is the backlog's";
            } },
        { "PageUp, Space", [&] { page.KeyDown("PageUp", false); },
            [&] {
                page.KeyDown(" ", false);
                EXPECT_TRUE(page.KeyUp(" ")) << "a button under the keyboard would click on release";
            } },
        { "wheel away and back past the newest line",
            [&] {
                page.Wheel(120, true);
                page.Wheel(120, true);
            },
            [&] {
                for (int notch = 0; notch < 100 && page.BacklogOpen(); ++notch)
                    EXPECT_TRUE(page.Wheel(-120, false)) << "anywhere in the game";
            } },
    };
    for (const Way& way : ways) {
        way.open();
        ASSERT_TRUE(page.BacklogOpen()) << way.name;
        // Ticks, reading keys, clicks through and the wheel towards the reader while it is open.
        dom.pacing = true;
        for (int tick = 0; tick < 10; ++tick)
            page.TimSay_Timer();
        EXPECT_EQ(page.KeyDown("ArrowDown", false).action, KeyAnswer::Action::Swallow);
        EXPECT_EQ(page.KeyDown("a", false).action, KeyAnswer::Action::Swallow);
        EXPECT_EQ(page.KeyDown("Enter", true).action, KeyAnswer::Action::Swallow);
        EXPECT_TRUE(page.BacklogOpen()) << way.name << ": a held key does not close it";
        EXPECT_EQ(loaded.Seen(), before) << way.name;
        way.close();
        EXPECT_FALSE(page.BacklogOpen()) << way.name;
        EXPECT_FALSE(dom.Shown(PageElement::Backlog)) << way.name;
        EXPECT_EQ(loaded.Seen(), before) << way.name << ": closing takes no step";
        EXPECT_EQ(loaded.NextLine(), nextLine) << way.name;
        EXPECT_EQ(dom.focus, focus) << way.name;
        EXPECT_FALSE(page.KeyUp("a"));
        EXPECT_FALSE(page.GameClicked()) << "closed, a click is the game's";
    }
    // Play goes on where it stopped: the next click reveals the next line.
    page.Lbl_Click();
    EXPECT_EQ(loaded.Message(), messageBefore + "|" + nextLine);
}

TEST_F(PageBacklog, EachNotchOrPageGoesFurtherBack)
{
    page.Wheel(120, true);
    ASSERT_TRUE(page.BacklogOpen());
    EXPECT_EQ(dom.backlog.first, 17) << "the newest line at the bottom, a notch back";
    page.Wheel(60, false);
    EXPECT_EQ(dom.backlog.first, 17) << "half a notch is not a notch";
    page.Wheel(60, false);
    EXPECT_EQ(dom.backlog.first, 14);
    page.KeyDown("PageUp", false);
    EXPECT_EQ(dom.backlog.first, 10);
    page.KeyDown("ArrowUp", false);
    EXPECT_EQ(dom.backlog.first, 9);
    page.KeyDown("PageDown", false);
    EXPECT_EQ(dom.backlog.first, 13);
    page.KeyDown("ArrowDown", false);
    EXPECT_EQ(dom.backlog.first, 14);
    for (int notch = 0; notch < 100; ++notch)
        page.Wheel(120, true);
    EXPECT_EQ(dom.backlog.first, 0) << "it stops at the oldest line";
    page.KeyDown("Escape", false);
    // The wheel away beside the text is not the backlog's; towards the reader over it reads on.
    EXPECT_FALSE(page.Wheel(120, false));
    EXPECT_FALSE(page.BacklogOpen());
}

// Full screen: the document asked from a key press, the game laid out as the desktop lays out
// its window on a full screen once the browser says it is.
TEST(PageFullScreen, TheKeysAskAndTheLayoutFollows)
{
    LoadedPage loaded;
    WebPage& page = *loaded.page;
    FakeDom& dom = loaded.dom;
    const PixelRect window = dom.window;
    ASSERT_EQ(window.width, 614);

    EXPECT_EQ(page.KeyDown("Escape", false).action, KeyAnswer::Action::Pass) << "not full screen: not ours";
    EXPECT_EQ(page.KeyDown("Enter", false, kAlt).action, KeyAnswer::Action::Swallow);
    EXPECT_EQ(dom.fullScreenAsked, std::vector<bool> { true });
    page.KeyDown("Enter", true, kAlt);
    EXPECT_EQ(dom.fullScreenAsked.size(), 1u) << "a held key asks once";
    EXPECT_EQ(Shape(dom.window), Shape(window)) << "nothing moves until the browser has done it";

    page.FullScreenChanged(true, 1920, 1080);
    EXPECT_EQ(Shape(dom.window), "150,0 1620x1080");
    EXPECT_FLOAT_EQ(dom.fontSizes[PageElement::Message], 20);
    EXPECT_FLOAT_EQ(dom.fontSizes[PageElement::Day], 80);
    EXPECT_EQ(
        Shape(dom.places[PageElement::Picture]), Shape(ToPixels({ 0, 0, 1620, 1080 }, kLayoutScale, kPictureArea)));
    page.FullScreenChanged(true, 1024, 768);
    EXPECT_EQ(Shape(dom.window), "0,42 1024x683") << "a 4:3 screen: centred top to bottom";

    page.KeyDown("Escape", false);
    page.KeyDown("F11", false);
    EXPECT_EQ(dom.fullScreenAsked, (std::vector<bool> { true, false, false }));
    page.FullScreenChanged(false, 1366, 768);
    EXPECT_EQ(Shape(dom.window), Shape(window));
    page.KeyDown("F11", false);
    EXPECT_EQ(dom.fullScreenAsked.back(), true);

    // Enter alone reads on; it is no full-screen key.
    const std::string before = loaded.Message();
    page.KeyDown("Enter", false);
    EXPECT_NE(loaded.Message(), before);
    EXPECT_EQ(dom.fullScreenAsked.size(), 4u);
}

} // namespace
} // namespace miradel
