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
// the message and column that point at it, beside those of the broken game (GameCheckTest);
// the lines that must stay quiet come last.
TEST(LineSpelling, CommandsThatShowAsText)
{
    const Case cases[] = {
        { u"Tugi",
            "txt/s.dat:7:1: warning: \"Tugi\" is shown as text, not taken as the command \"tugi\": commands are "
            "written in small letters" },
        { u"\u3000>end",
            "txt/s.dat:7:2: warning: \">end\" is shown as text, not taken as the command \">end\": it starts with a "
            "blank" },
        { u">emd",
            "txt/s.dat:7:1: warning: \">emd\" is shown as text, not taken as the command \">end\": it is misspelt" },
        { u"tsugi",
            "txt/s.dat:7:1: warning: \"tsugi\" is shown as text, not taken as the command \"tugi\": it is misspelt" },
        { u"－－３",
            "txt/s.dat:7:1: warning: \"－－３\" is shown as text, not taken as the command \"--\": it is written in "
            "full-width characters" },
        { u">p ",
            "txt/s.dat:7:3: warning: \">p\" with more after it clears the page without waiting for a click; write "
            "\">p\" alone" },
        { u">img01",
            "txt/s.dat:7:5: warning: no blank after \">img\": the character \"0\" is taken as the separator and "
            "dropped, so the picture is \"1\"; write \">img NAME\"" },
        { u">img ", "txt/s.dat:7:1: warning: \">img\" names no picture: it only repaints the picture on show" },
        // A page break that does not wait, with the author's note after a blank, is meant.
        { u">p 灯りが消える", nullptr },
        { u">ive", nullptr },
        { u">>", nullptr },
        { u"tsugi no hi", nullptr },
        { u"「tugi」", nullptr },
        { u"", nullptr },
        { u"tugi", nullptr },
        { u">p", nullptr },
        { u">img 0", nullptr },
        { u">img\u3000end1", nullptr },
    };
    for (const Case& c : cases) {
        const auto found = Checked(c.line);
        if (c.expected)
            EXPECT_EQ(found, std::vector<std::string> { c.expected }) << TextToUtf8(c.line);
        else
            EXPECT_TRUE(found.empty()) << TextToUtf8(c.line);
    }
}

} // namespace
} // namespace miradel::check
