// SPDX-License-Identifier: MIT
#include "scenario/LineKind.h"

#include <gtest/gtest.h>

namespace miradel {

// Each row: a line and the kind the player must take it for. The rows follow the command
// table in the README's authoring section, including the near misses authors write.
TEST(LineKind, FirstMatchingLiteralDecides)
{
    const struct {
        TextView line;
        LineKind kind;
    } rows[] = {
        { u"tugi", LineKind::SceneEnd },
        { u"tugi and more", LineKind::SceneEnd },
        { u"TUGI", LineKind::TextLine },
        { u" tugi", LineKind::TextLine },
        { u"tug", LineKind::TextLine },
        { u"--3", LineKind::Run },
        { u"-----", LineKind::Run },
        { u"-", LineKind::TextLine },
        { u">end", LineKind::GameEnd },
        { u">ending", LineKind::GameEnd },
        { u">p", LineKind::NewPage },
        { u">p then", LineKind::NewPage },
        { u">P", LineKind::TextLine },
        { u">img 0", LineKind::Picture },
        { u">img", LineKind::Picture },
        { u">im", LineKind::TextLine },
        { u">loop", LineKind::Loop },
        { u">ive", LineKind::TextLine },
        { u">other", LineKind::TextLine },
        { u"", LineKind::TextLine },
        { u"こんにちは", LineKind::TextLine },
    };
    for (const auto& row : rows)
        EXPECT_EQ(ClassifyLine(row.line), row.kind) << TextToUtf8(row.line);
}

TEST(LineKind, PageStopsBeforeLinesThatNeedTheReader)
{
    for (TextView next : { u"tugi", u"tugix", u">end", u">loop", u">ive", u">ive text", u">p" })
        EXPECT_TRUE(StopsPageBefore(next)) << TextToUtf8(next);
    // Only a ">p" alone on its line makes the text before it wait.
    for (TextView next : { u">p ", u">page", u"text", u"", u">img 1", u"--2" })
        EXPECT_FALSE(StopsPageBefore(next)) << TextToUtf8(next);
}

TEST(LineKind, TicksWaitButDoNotTestNewPageText)
{
    for (TextView next : { u">p", u">end", u">loop", u"tugi" })
        EXPECT_TRUE(TickWaitsBefore(next));
    for (TextView next : { u">ive", u">p x", u"text", u"" })
        EXPECT_FALSE(TickWaitsBefore(next));
}

TEST(LineKind, PictureNameSkipsOneSeparatorWhateverItIs)
{
    EXPECT_EQ(PictureNameOf(u">img chara"), u"chara");
    EXPECT_EQ(PictureNameOf(u">img 2  "), u"2  ");
    EXPECT_EQ(PictureNameOf(u">imgx2"), u"2");
    EXPECT_EQ(PictureNameOf(u">img1"), u"");
    EXPECT_EQ(PictureNameOf(u">img "), u"");
    EXPECT_EQ(PictureNameOf(u">img"), u"");
}

TEST(LineKind, RunCountIsAWholeNumberThatFits)
{
    EXPECT_EQ(RunCountOf(u"--3"), 3);
    EXPECT_EQ(RunCountOf(u"-- 12 "), 12);
    EXPECT_EQ(RunCountOf(u"--0"), 0);
    EXPECT_EQ(RunCountOf(u"---4"), -4);
    EXPECT_EQ(RunCountOf(u"--2147483647"), 2147483647);
    EXPECT_EQ(RunCountOf(u"--2000000000"), 2000000000);
    // 2^64 + 5: read without a bound it would wrap round to 5.
    for (TextView bad : { u"--", u"-----", u"--abc", u"--1.5", u"--3x", u"--2147483648", u"--99999999999999999999",
             u"--18446744073709551621", u"-- " })
        EXPECT_FALSE(RunCountOf(bad).has_value()) << TextToUtf8(bad);
}

} // namespace miradel
