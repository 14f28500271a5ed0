// SPDX-License-Identifier: MIT
#include "reading/Backlog.h"
#include "reading/FullScreenLayout.h"
#include "reading/ReadingKeys.h"
#include "reading/Skip.h"

#include <gtest/gtest.h>

#include <array>
#include <tuple>

namespace miradel::test {
namespace {

TEST(ReadingKeys, AnswerByKeyRepeatAndWhatIsOnShow)
{
    using enum ReadingKey;
    using enum ReadingAction;
    constexpr KeyModifiers none, ctrl { .control = true }, alt { .alt = true }, shift { .shift = true };
    // The key, its modifiers, whether it repeats, the backlog open, full screen: the answer.
    const std::tuple<ReadingKey, KeyModifiers, bool, bool, bool, ReadingAction> rows[] = {
        { Control, ctrl, true, true, false, HoldSkip },
        { S, none, false, false, false, ToggleSkip },
        { S, shift, false, false, false, ToggleSkip },
        { S, none, true, false, false, Swallow },
        { S, ctrl, false, false, false, Pass },
        { F11, none, false, false, true, ToggleFullScreen },
        { F11, shift, false, false, false, Pass },
        { Enter, alt, false, false, false, ToggleFullScreen },
        { Enter, alt, true, false, false, Swallow },
        { Enter, none, false, false, true, Pass },
        { Escape, none, false, false, true, ToggleFullScreen },
        { Escape, none, false, false, false, Pass },
        { PageUp, none, true, false, false, OpenBacklog },
        // Under the backlog nothing reaches the game, and a held key does not close it.
        { Enter, alt, false, true, true, CloseBacklog },
        { Escape, none, false, true, true, CloseBacklog },
        { Space, none, false, true, false, CloseBacklog },
        { Space, none, true, true, false, Swallow },
        { PageUp, none, false, true, false, PageBack },
        { PageDown, none, false, true, false, PageOn },
        { Up, none, false, true, false, LineBack },
        { Down, none, false, true, false, LineOn },
        { S, none, false, true, false, Swallow },
    };
    for (const auto& [key, modifiers, repeat, backlogOpen, fullScreen, expected] : rows)
        EXPECT_EQ(AnswerReadingKey(key, modifiers, repeat, backlogOpen, fullScreen), expected)
            << static_cast<int>(key) << " repeat " << repeat << " backlog " << backlogOpen << " full " << fullScreen;
}

TEST(ReadingKeys, WheelTurnsAddUpToNotchesAndTheBacklogScrollsWithinItsLines)
{
    WheelNotches wheel;
    EXPECT_EQ(wheel.Add(60), 0) << "half a notch is not a notch";
    EXPECT_EQ(wheel.Add(60), 1);
    EXPECT_EQ(wheel.Add(270), 2);
    EXPECT_EQ(wheel.Add(-90), 0) << "turning back starts afresh";
    EXPECT_EQ(wheel.Add(-30), -1);
    wheel.Add(90);
    wheel.Reset();
    EXPECT_EQ(wheel.Add(30), 0);

    const std::tuple<int, int, int, std::optional<int>> rows[] = {
        { 2, 20, -3, 0 },
        { 18, 20, 3, 20 },
        { 20, 20, 1, std::nullopt },
        { 0, 0, 1, std::nullopt },
    };
    for (const auto& [first, lastFirst, lines, expected] : rows)
        EXPECT_EQ(BacklogScrolled(first, lastFirst, lines), expected) << first << " " << lastFirst << " " << lines;
}

TEST(Skip, ClicksOncePerFrameWhileTheTextShowsAndAToggledSkipEndsAtTheButtons)
{
    Skip::Offer offer = Skip::Offer::Reading;
    int clicks = 0;
    Skip skip([&] { return offer; }, [&] { ++clicks; });
    skip.Frame();
    skip.SetHeld(true);
    skip.Frame();
    EXPECT_EQ(clicks, 1);
    offer = Skip::Offer::Buttons;
    skip.Frame();
    EXPECT_TRUE(skip.Active()) << "held, it waits at the buttons";
    skip.SetHeld(false);
    skip.Toggle();
    offer = Skip::Offer::Paused;
    skip.Frame();
    EXPECT_TRUE(skip.Active());
    offer = Skip::Offer::Buttons;
    skip.Frame();
    EXPECT_FALSE(skip.Active());
    EXPECT_EQ(clicks, 1);
    skip.Toggle();
    skip.Toggle();
    EXPECT_FALSE(skip.Active());
}

TEST(Backlog, PagesFromTheMessageAreasCaptionsOfThisSceneAndTheOneBefore)
{
    Backlog backlog;
    Text shown = u"Label1";
    auto show = [&](TextView caption) {
        backlog.CaptionChanging(shown, caption);
        shown = caption;
    };
    backlog.SceneOpened();
    // The opening clears the caption the window was made with; then a page that stops at the
    // wait mark, the next page, and a page command that clears it.
    for (TextView caption : { u"", u"\r\n一", u"\r\n一\r\n二▼", u"\r\n三", u"\r\n三\r\n", u"\r\n三\r\n\r\n四", u"" })
        show(caption);
    EXPECT_EQ(backlog.PagesKept(), 2u) << "the caption the window was made with is no page";
    EXPECT_EQ(TextToUtf8(backlog.History(u"\r\n五")), "一\n二\n\n三\n\n四\n\n五");

    // A line of a hundred thousand characters keeps its beginning only.
    show(u"\r\n" + Text(100000, u'あ') + u"▼");
    show(u"");
    EXPECT_EQ(backlog.History(u"").size(), Text(u"一\n二\n\n三\n\n四\n\n").size() + 8192);

    backlog.SceneOpened();
    show(u"\r\n六");
    show(u"");
    EXPECT_EQ(backlog.PagesKept(), 4u);
    backlog.SceneOpened();
    EXPECT_EQ(TextToUtf8(backlog.History(u"\r\n七")), "六\n\n七") << "the first scene is two back";
}

// Worked by hand: the area as wide as the screen allows at 3:2, its height two thirds of that
// width, centred.
TEST(FullScreenArea, LargestAreaOfTheWindowsProportionsCentred)
{
    const std::tuple<int, int, float, std::array<int, 4>> screens[] = {
        { 1920, 1080, 15, { 150, 0, 1620, 1080 } },
        // 682.67 pixels tall, rounded to 683: 42 above and 43 below.
        { 1024, 768, 15, { 0, 42, 1024, 683 } },
        { 2880, 1800, 10, { 90, 0, 2700, 1800 } },
        { 0, 0, 15, { 0, 0, 1, 1 } },
    };
    for (const auto& [width, height, twipsPerPixel, expected] : screens) {
        const PixelRect area = FullScreenArea(width, height, twipsPerPixel);
        EXPECT_EQ((std::array { area.x, area.y, area.width, area.height }), expected) << width << "x" << height;
    }
}

} // namespace
} // namespace miradel::test
