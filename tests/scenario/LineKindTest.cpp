// SPDX-License-Identifier: MIT
#include "scenario/LineKind.h"

#include <gtest/gtest.h>

namespace miradel {

// Each row: a line, the kind the player takes it for, whether a page stops before it and
// whether a tick waits before it. Near misses that authors write are text.
TEST(LineKind, FirstMatchingLiteralDecides)
{
    const struct {
        TextView line;
        LineKind kind;
        bool stopsPage, tickWaits;
    } rows[] = {
        { u"tugi and more", LineKind::SceneEnd, true, true },
        { u"TUGI", LineKind::TextLine, false, false },
        { u" tugi", LineKind::TextLine, false, false },
        { u"-----", LineKind::Run, false, false },
        { u"-", LineKind::TextLine, false, false },
        { u">ending", LineKind::GameEnd, true, true },
        { u">p", LineKind::NewPage, true, true },
        { u">p then", LineKind::NewPage, false, false },
        { u">page", LineKind::NewPage, false, false },
        { u">P", LineKind::TextLine, false, false },
        { u">img", LineKind::Picture, false, false },
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
    EXPECT_EQ(RunCountOf(u"-- 12 "), 12);
    EXPECT_EQ(RunCountOf(u"--+2"), 2);
    EXPECT_EQ(RunCountOf(u"---4"), -4);
    EXPECT_EQ(RunCountOf(u"--2147483647"), 2147483647);
    EXPECT_EQ(RunCountOf(u"---2147483648"), -2147483647 - 1);
    // 2^64 + 5: read without a bound it would wrap round to 5.
    for (TextView bad : { u"--", u"-----", u"--1.5", u"--3x", u"--2147483648", u"--18446744073709551621", u"-- " })
        EXPECT_FALSE(RunCountOf(bad).has_value()) << TextToUtf8(bad);
}

} // namespace miradel
