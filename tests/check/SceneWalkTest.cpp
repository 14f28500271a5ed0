// SPDX-License-Identifier: MIT
#include "SceneWalk.h"

#include <gtest/gtest.h>

namespace miradel::check {
namespace {

// Records the number of text lines of every page and fits pages up to a chosen size.
class CountingMeasure final : public PageMeasure {
public:
    explicit CountingMeasure(std::size_t largest)
        : m_largest(largest)
    {
    }
    bool Fits(const std::vector<TextView>& lines, bool) const override
    {
        pages.push_back(lines.size());
        return lines.size() <= m_largest;
    }
    mutable std::vector<std::size_t> pages;

private:
    std::size_t m_largest;
};

std::vector<std::string> Walked(
    const std::vector<Text>& lines, SceneWalk* walk = nullptr, const PageMeasure* measure = nullptr)
{
    Findings findings;
    const SceneWalk result = WalkScene(lines, "txt/s.dat", measure, findings);
    if (walk)
        *walk = result;
    std::vector<std::string> formatted;
    for (const Finding& finding : findings.Sorted())
        formatted.push_back(FormatFinding(finding));
    return formatted;
}

TEST(SceneWalk, RunsOverTheEndOfTheFileTakeTheImpliedTugi)
{
    // Two lines and the "tugi" that the end of the file stands for: three steps fit.
    EXPECT_TRUE(Walked({ u"--3", u"a", u"b" }).empty());
    EXPECT_EQ(Walked({ u"--4", u"a", u"b" }),
        (std::vector<std::string> { "txt/s.dat:1:3: warning: the count reaches past the end of the scene, which ends "
                                    "at the end of the file; 1 step "
                                    "is left over" }));
    // Lines that a step takes along (picture, page, empty line) are no steps of the run.
    EXPECT_TRUE(Walked({ u"--2", u">img x", u"a", u"", u"b", u"c" }).empty());
    // Runs cut short count on from where the inner ones left the counter: "--5" stops at 2
    // (3 left) and leaves it at 6, "--1" is done and moves it to 7, so "--10" has 3 left.
    EXPECT_EQ(Walked({ u"--10", u"--1", u"--5", u"a" }),
        (std::vector<std::string> { "txt/s.dat:1:3: warning: the count reaches past the end of the scene, which ends "
                                    "at the end of the file; 3 steps "
                                    "are left over",
            "txt/s.dat:3:3: warning: the count reaches past the end of the scene, which ends at the end of the file; 3 "
            "steps "
            "are left over" }));
}

TEST(SceneWalk, LinesAfterTheEndAreNeverShown)
{
    SceneWalk walk;
    EXPECT_EQ(Walked({ u"a", u">loop", u"", u"b", u"c" }, &walk),
        (std::vector<std::string> {
            "txt/s.dat:4:1: warning: this line and the 1 after it are never shown: the scene ends at line 2" }));
    EXPECT_EQ(walk.ending, SceneEnding::Loop);
    EXPECT_EQ(walk.lastReachedLine, 2);
    // Empty lines after the end are harmless.
    EXPECT_TRUE(Walked({ u"a", u"tugi", u"", u"" }).empty());
    EXPECT_TRUE(Walked({ u"a", u">end" }, &walk).empty());
    EXPECT_EQ(walk.ending, SceneEnding::GameEnd);
}

TEST(SceneWalk, FindsAGameEndBeforeAnythingShows)
{
    SceneWalk walk;
    Walked({ u">img 0", u"", u"--1", u">p", u">end" }, &walk);
    EXPECT_EQ(walk.gameEndInFirstStep, 5);
    Walked({ u"text", u">end" }, &walk);
    EXPECT_EQ(walk.gameEndInFirstStep, 0);
}

TEST(SceneWalk, CollectsThePicturesOfReachedLines)
{
    SceneWalk walk;
    Walked({ u">img a", u"x", u">imgb", u"tugi", u">img c" }, &walk);
    ASSERT_EQ(walk.pictures.size(), 2u);
    EXPECT_EQ(walk.pictures[0].name, u"a");
    EXPECT_EQ(walk.pictures[1].line, 3);
    EXPECT_EQ(walk.pictures[1].name, u"");
}

// Page sizes of the player's rules: a 40-line scene pages as 30 and 10; a page begun by an
// exact ">p" holds 31; ">ive" starts a new page.
TEST(SceneWalk, PagesBreakLikeThePlayers)
{
    std::vector<Text> forty(40, u"line");
    CountingMeasure measure(100);
    Walked(forty, nullptr, &measure);
    EXPECT_EQ(measure.pages, (std::vector<std::size_t> { 30, 10 }));

    std::vector<Text> afterPage { u"a", u">p" };
    afterPage.insert(afterPage.end(), 32, u"line");
    measure.pages.clear();
    Walked(afterPage, nullptr, &measure);
    EXPECT_EQ(measure.pages, (std::vector<std::size_t> { 1, 31, 1 }));

    measure.pages.clear();
    Walked({ u"a", u"b", u">ive c", u"d" }, nullptr, &measure);
    EXPECT_EQ(measure.pages, (std::vector<std::size_t> { 2, 2 }));
}

TEST(SceneWalk, ReportsLinesThatOneStepShowsAndThatDoNotFitTogether)
{
    CountingMeasure measure(2);
    // A tall page whose steps show a line or two at a time only scrolls.
    EXPECT_EQ(Walked({ u"a", u"b", u">p", u"c", u"", u"d", u">img x", u"e" }, nullptr, &measure),
        std::vector<std::string> {});
    // Three lines of one run do not fit in two.
    EXPECT_EQ(Walked({ u"a", u"b", u">p", u"c", u"--3", u"d", u"e", u"f", u"g" }, nullptr, &measure),
        (std::vector<std::string> {
            "txt/s.dat:6:1: warning: lines 6-8 appear at once and do not fit in the message area "
            "of the smallest supported screen (768 pixels high), so the first of them are never "
            "seen; break them with a \">p\" line" }));
}

} // namespace
} // namespace miradel::check
