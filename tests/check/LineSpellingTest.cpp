// SPDX-License-Identifier: MIT
#include "LineSpelling.h"
#include "Findings.h"

#include <gtest/gtest.h>

namespace miradel::check {
namespace {

std::vector<std::string> Checked(TextView line)
{
    Findings findings;
    CheckLineSpelling(line, "txt/s.dat", 7, findings);
    std::vector<std::string> formatted;
    for (const Finding& finding : findings.Sorted())
        formatted.push_back(FormatFinding(finding));
    return formatted;
}

struct Case {
    TextView line;
    const char* expected; // nullptr: no warning
};

// Mistakes that authors make with the command literals of the scene format, each next to
// the message and column that point at it; the lines that must stay quiet come last.
TEST(LineSpelling, CommandsThatShowAsText)
{
    const Case cases[] = {
        { u">P",
            "txt/s.dat:7:1: warning: \">P\" is shown as text, not taken as the command \">p\": commands are written in "
            "small letters" },
        { u"Tugi",
            "txt/s.dat:7:1: warning: \"Tugi\" is shown as text, not taken as the command \"tugi\": commands are "
            "written in small letters" },
        { u" tugi",
            "txt/s.dat:7:2: warning: \"tugi\" is shown as text, not taken as the command \"tugi\": it starts with a "
            "blank" },
        { u"\u3000>end",
            "txt/s.dat:7:2: warning: \">end\" is shown as text, not taken as the command \">end\": it starts with a "
            "blank" },
        { u"＞ｌｏｏｐ",
            "txt/s.dat:7:1: warning: \"＞ｌｏｏｐ\" is shown as text, not taken as the command \">loop\": it is "
            "written in full-width characters" },
        { u">imag ttl",
            "txt/s.dat:7:1: warning: \">imag ttl\" is shown as text, not taken as the command \">img\": it is "
            "misspelt" },
        { u">emd",
            "txt/s.dat:7:1: warning: \">emd\" is shown as text, not taken as the command \">end\": it is misspelt" },
        { u"tsugi",
            "txt/s.dat:7:1: warning: \"tsugi\" is shown as text, not taken as the command \"tugi\": it is misspelt" },
        { u"－－３",
            "txt/s.dat:7:1: warning: \"－－３\" is shown as text, not taken as the command \"--\": it is written in "
            "full-width characters" },
        { u">ive", nullptr },
        { u">>", nullptr },
        { u"tsugi no hi", nullptr },
        { u"「tugi」", nullptr },
        { u"", nullptr },
        { u"tugi", nullptr },
        { u">p", nullptr },
    };
    for (const Case& c : cases) {
        const auto found = Checked(c.line);
        if (c.expected)
            EXPECT_EQ(found, std::vector<std::string> { c.expected }) << TextToUtf8(c.line);
        else
            EXPECT_TRUE(found.empty()) << TextToUtf8(c.line);
    }
}

TEST(LineSpelling, PageAndPictureCommandsWithSurprises)
{
    // A page break that does not wait, with the author's note after a blank, is meant.
    EXPECT_EQ(Checked(u">p 灯りが消える"), std::vector<std::string> {});
    EXPECT_EQ(Checked(u">page"),
        std::vector<std::string> { "txt/s.dat:7:3: warning: \">p\" with more after it clears the page "
                                   "without waiting for a click; write \">p\" alone" });
    EXPECT_EQ(Checked(u">p "),
        std::vector<std::string> { "txt/s.dat:7:3: warning: \">p\" with more after it clears the page "
                                   "without waiting for a click; write \">p\" alone" });
    EXPECT_EQ(Checked(u">img01"),
        std::vector<std::string> { "txt/s.dat:7:5: warning: no blank after \">img\": the character "
                                   "\"0\" is taken as the separator and dropped, so the picture is "
                                   "\"1\"; write \">img NAME\"" });
    EXPECT_EQ(Checked(u">img ttl  "),
        std::vector<std::string> { "txt/s.dat:7:9: warning: the picture name ends in blanks, "
                                   "which are part of the name: \"ttl  \"" });
    const std::vector<std::string> empty {
        "txt/s.dat:7:1: warning: \">img\" names no picture: it only repaints the picture on show"
    };
    EXPECT_EQ(Checked(u">img"), empty);
    EXPECT_EQ(Checked(u">img "), empty);
    EXPECT_TRUE(Checked(u">img 0").empty());
    EXPECT_TRUE(Checked(u">img\u3000end1").empty());
}

TEST(LineSpelling, EditDistance)
{
    EXPECT_EQ(EditDistance(u"img", u"img"), 0u);
    EXPECT_EQ(EditDistance(u">imag", u">img"), 1u);
    EXPECT_EQ(EditDistance(u"tugi", u"tsugi"), 1u);
    EXPECT_EQ(EditDistance(u"", u"end"), 3u);
}

} // namespace
} // namespace miradel::check
