// SPDX-License-Identifier: MIT
#include "Findings.h"

#include <gtest/gtest.h>

namespace miradel::check {
namespace {

TEST(Findings, FormatsLikeCompilerMessages)
{
    EXPECT_EQ(FormatFinding({ Severity::Error, "txt/opn.dat", 3, 5, "bad" }), "txt/opn.dat:3:5: error: bad");
    EXPECT_EQ(FormatFinding({ Severity::Warning, "txt/opn.dat", 3, 0, "odd" }), "txt/opn.dat:3: warning: odd");
    EXPECT_EQ(FormatFinding({ Severity::Error, "img/0_.jpg", 0, 0, "missing" }), "img/0_.jpg: error: missing");
}

TEST(Findings, SortsByPlaceAndCountsErrors)
{
    Findings findings;
    findings.Warning("txt/b.dat", 2, 1, "second");
    findings.Error("txt/a.dat", 9, 1, "first");
    findings.Warning("txt/b.dat", 1, 4, "before second");
    const auto sorted = findings.Sorted();
    ASSERT_EQ(sorted.size(), 3u);
    EXPECT_EQ(sorted[0].message, "first");
    EXPECT_EQ(sorted[1].message, "before second");
    EXPECT_EQ(findings.ErrorCount(), 1u);
    EXPECT_EQ(findings.WarningCount(), 2u);
}

} // namespace
} // namespace miradel::check
