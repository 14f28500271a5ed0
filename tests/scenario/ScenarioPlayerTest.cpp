// SPDX-License-Identifier: MIT
#include "platform/RuntimeError.h"
#include "scenario/LineKind.h"
#include "support/GameFolder.h"
#include "support/HeadlessFixture.h"

#include <gtest/gtest.h>

namespace miradel::test {
namespace {

// A line, its kind, whether a page stops and a tick waits before it; authors' near misses are text.
TEST(LineKind, FirstMatchingLiteralDecides)
{
    const struct {
        TextView line;
        LineKind kind;
        bool stopsPage, tickWaits;
    } rows[] = {
        { u"tugi and more", LineKind::SceneEnd, true, true },
        { u"-----", LineKind::Run, false, false },
        { u"-", LineKind::TextLine, false, false },
        { u">ending", LineKind::GameEnd, true, true },
        { u">p", LineKind::NewPage, true, true },
        { u">page", LineKind::NewPage, false, false },
        { u">P", LineKind::TextLine, false, false },
        { u">im", LineKind::TextLine, false, false },
        { u">loop", LineKind::Loop, true, true },
        { u">ive text", LineKind::TextLine, true, false },
        { u"", LineKind::TextLine, false, false },
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ClassifyLine(row.line), row.kind) << TextToUtf8(row.line);
        EXPECT_EQ(StopsPageBefore(row.line), row.stopsPage) << TextToUtf8(row.line);
        EXPECT_EQ(TickWaitsBefore(row.line), row.tickWaits) << TextToUtf8(row.line);
    }
}

TEST(LineKind, RunCountIsAWholeNumberThatFits)
{
    EXPECT_EQ(RunCountOf(u"-- 12\u3000"), 12);
    EXPECT_EQ(RunCountOf(u"--+2"), 2);
    EXPECT_EQ(RunCountOf(u"---4"), -4);
    EXPECT_EQ(RunCountOf(u"--2147483647"), 2147483647);
    EXPECT_EQ(RunCountOf(u"---2147483648"), -2147483647 - 1);
    // 2^64 + 5: read without a bound it would wrap round to 5.
    for (TextView bad : { u"--", u"-----", u"--1.5", u"--3x", u"--2147483648", u"--18446744073709551621", u"-- " })
        EXPECT_FALSE(RunCountOf(bad).has_value()) << TextToUtf8(bad);
}

std::string Repeated(const std::string& text, int times)
{
    std::string all;
    while (times-- > 0)
        all += text;
    return all;
}

// The player over the headless window. Each row: the opening (and the scene of day 1), events
// ('t' a tick, 'c' a click, 'n' the next-day button), and what is on show after them: "message
// offer @picture dDAY", " ~" or " -" when the pacing timer must or must not run; or "error
// FILE:LINE ... TEXT". A scene file is open exactly while a scene is on show.
TEST(ScenarioPlayer, StepsRevealLinesPageByPage)
{
    struct Row {
        std::string opening, day1, script, seen;
    };
    const std::vector<std::string> kForty(40, "x");
    const Row rows[] = {
        // One line: it waits; ticks do nothing; a click ends the scene.
        { SceneBytes({ "ひとこと" }), "", "ttt", "|ひとこと▼ scene @ttl d0" },
        { SceneBytes({ "ひとこと" }), "", "tttc", " next day @ttl d0 ~" },
        // A tick or a click reveals one line; the last waits.
        { SceneBytes({ "一", "二", "三", "四" }), "", "tc", "|一|二|三 scene @ttl d0 ~" },
        { SceneBytes({ "一", "二", "三", "四" }), "", "tct", "|一|二|三|四▼ scene @ttl d0 -" },
        // "tugi" ends the scene only as the start of its line.
        { SceneBytes({ "TUGI", " tugi", "tugi then more", "never shown" }), "", "t", "|TUGI| tugi▼ scene @ttl d0" },
        { SceneBytes({ "TUGI", " tugi", "tugi then more", "never shown" }), "", "tc", " next day @ttl d0" },
        // A ">p" alone waits for a click before it clears the page; with more after it, a tick does.
        { SceneBytes({ "前", ">p", "後" }), "", "ttttt", "|前▼ scene @ttl d0" },
        { SceneBytes({ "前", ">p", "後" }), "", "tc", "|後▼ scene @ttl d0" },
        { SceneBytes({ "前", ">p です", "後", "次" }), "", "t", "|後 scene @ttl d0" },
        { SceneBytes({ "前", ">p です", "後", "次" }), "", "tt", "|後|次▼ scene @ttl d0" },
        // A page stops at 30 lines, one begun by a ">p" with text at 31.
        { SceneBytes(kForty), "", std::string(29, 't'), Repeated("|x", 30) + "▼ scene @ttl d0 -" },
        { SceneBytes(kForty) + "y\r\n", "", std::string(29, 't') + "c" + std::string(10, 't'),
            Repeated("|x", 10) + "|y▼ scene @ttl d0" },
        { SceneBytes({ "first", ">p x" }) + SceneBytes(kForty), "", std::string(31, 't'),
            Repeated("|x", 31) + "▼ scene @ttl d0" },
        // ">ive" starts a page of its own and is shown.
        { SceneBytes({ "a", ">ive のこり", "b" }), "", "c", "|>ive のこり scene @ttl d0" },
        // A picture line takes the next line along; ">img" alone repaints; any character separates.
        { SceneBytes({ "a", ">img 1", "b", ">img", "c", ">imgx2", "d" }), "", "t", "|a|b scene @1 d0" },
        { SceneBytes({ "a", ">img 1", "b", ">img", "c", ">imgx2", "d" }), "", "ttt", "|a|b|c|d▼ scene @2 d0" },
        { SceneBytes({ "a", ">img 3" }), "", "t", " next day @3 d0 -" },
        // Empty lines show together with the next line; one before a ">p" still steps.
        { SceneBytes({ "a", "", "", "b", "c" }), "", "t", "|a|||b scene @ttl d0" },
        { SceneBytes({ "a", "", ">p", "b", "c" }), "", "t", "|b scene @ttl d0 -" },
        // "--N" takes N lines in one step; nested runs share one counter; counts below 1 take none.
        { SceneBytes({ "--3", "a", "b", "c", "d" }), "", "", "|a|b|c scene @ttl d0" },
        { SceneBytes({ "--3", "a", "b", "c", "d" }), "", "t", "|a|b|c|d▼ scene @ttl d0" },
        { SceneBytes({ "--0", "---2", "a" }), "", "t", " scene @ttl d0" },
        { SceneBytes({ "--0", "---2", "a" }), "", "tt", "|a▼ scene @ttl d0" },
        { SceneBytes({ "--5", "1", "--2", "2", "3", "4", "5", "6" }), "", "", "|1|2|3|4|5 scene @ttl d0" },
        { SceneBytes({ "--2000000000", "a" }), "", "", " next day @ttl d0" },
        // No chain of steps grows the call stack; empty lines fill pages like any other lines.
        { "a\r\n" + Repeated("\r\n", 1000000) + "z\r\n", "", "t", std::string(12, '|') + "z▼ scene @ttl d0" },
        { "a\r\n" + Repeated(">img\r\n", 100000) + "z\r\n", "", "t", "|a|z▼ scene @ttl d0" },
        { Repeated("--1\r\n", 100000) + "z\r\n", "", "", "|z▼ scene @ttl d0" },
        // Once a scene has ended, steps do nothing.
        { SceneBytes({ "a", "tugi", "after", "more" }), "", "cttt", " next day @ttl d0" },
        // ">end" starts a new game at once; ">loop" sends the day back to 0, also in a run.
        { SceneBytes({ "はじまり" }), SceneBytes({ "a", ">end" }), "cn", "|a▼ scene @0 d1" },
        { SceneBytes({ "はじまり" }), SceneBytes({ "a", ">end" }), "cnc", "|はじまり▼ scene @ttl d0" },
        // A ">end" inside runs ends them with their scene.
        { SceneBytes({ "a", "--3", "--2", ">end", "b" }), "", "c", "|a scene @ttl d0" },
        { SceneBytes({ "tugi" }), SceneBytes({ "a", ">loop" }), "nc", " next day @0 d0" },
        { SceneBytes({ "tugi" }), SceneBytes({ "--3", ">loop", "a", "tugi" }), "nttt", " next day @0 d0" },
        // Errors name the scene file and line (0: none); an opening restarting at once would loop.
        { SceneBytes({ "a", ">img nothere" }), "", "t", "error txt/opn.dat:2 ... img/nothere.jpg" },
        { SceneBytes({ "a", "--x" }), "", "t", "error txt/opn.dat:2 ... --x" },
        { SceneBytes({ "", ">end" }), "", "", "error txt/opn.dat:2 ... " },
        { SceneBytes({ "--1", ">end" }), "", "", "error txt/opn.dat:2 ... " },
        { "", "", "", "error txt/opn.dat:0 ... " },
        { SceneBytes({ "a" }), "missing", "cn", "error txt/0.dat:0 ... " },
        { "no title", "", "", "error img/ttl.jpg:0 ... " },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::PrintToString(row.opening.substr(0, 60)) + " after \"" + row.script + "\"");
        HeadlessFixture fixture;
        fixture.WriteSceneBytes("opn", row.opening);
        if (!row.day1.empty())
            fixture.WriteSceneBytes("0", row.day1);
        if (row.day1 == "missing")
            fixture.content.RemoveScene(u"0");
        if (row.opening == "no title")
            fixture.content = MemoryContent();
        std::string seen;
        try {
            fixture.Start();
            fixture.Play(row.script);
            seen = fixture.Message() + " " + fixture.Offer() + " @" + TextToUtf8(fixture.game.pictures.CurrentPicture())
                + " d" + std::to_string(fixture.view.day.value_or(255));
            if (row.seen.ends_with(" ~") || row.seen.ends_with(" -"))
                seen += fixture.view.pacing ? " ~" : " -";
            EXPECT_EQ(fixture.game.files.OpenCount(), fixture.Offer() == "scene" ? 1u : 0u);
        } catch (const RuntimeError& error) {
            seen = "error " + error.File() + ":" + std::to_string(error.Line()) + " " + error.Report();
        }
        const std::size_t gap = row.seen.find(" ... ");
        if (gap == std::string::npos)
            EXPECT_EQ(seen, row.seen);
        else
            EXPECT_TRUE(seen.starts_with(row.seen.substr(0, gap + 1))
                && seen.find(row.seen.substr(gap + 5)) != std::string::npos)
                << seen;
    }
}

} // namespace
} // namespace miradel::test
