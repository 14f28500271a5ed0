// SPDX-License-Identifier: MIT
#include "Encoding.h"
#include "Findings.h"
#include "SceneSource.h"

#include <gtest/gtest.h>

namespace miradel::check {
namespace {

// Byte samples written by hand: "あ" is 82 A0 in code page 932, E3 81 82 in UTF-8 and
// 42 30 in UTF-16 little-endian.
TEST(GuessEncoding, TellsShiftJisFromUnicode)
{
    EXPECT_EQ(GuessEncoding("\x82\xA0\r\n"), Encoding::Cp932);
    EXPECT_EQ(GuessEncoding("plain ascii\r\n"), Encoding::Cp932);
    EXPECT_EQ(GuessEncoding(""), Encoding::Cp932);
    EXPECT_EQ(GuessEncoding("\xE3\x81\x82\r\n"), Encoding::Utf8);
    EXPECT_EQ(GuessEncoding("\xEF\xBB\xBFtugi"), Encoding::Utf8);
    EXPECT_EQ(GuessEncoding(std::string_view("\xFF\xFE\x42\x30", 4)), Encoding::Utf16LittleEndian);
    EXPECT_EQ(GuessEncoding(std::string_view("a\0b\0c\0", 6)), Encoding::Utf16LittleEndian);
    EXPECT_EQ(GuessEncoding(std::string_view("\0a\0b\0c", 6)), Encoding::Utf16BigEndian);
}

TEST(SceneSource, ReadsWithThePlayersLineEndsAndReportsBadBytes)
{
    Findings findings;
    // CR LF and CR end lines, LF alone does not; 0x82 followed by a blank is no character.
    const SceneSource source = DecodeSceneSource("one\r\ntwo\rthree\nsame\r\nab\x82 c\r\n", "txt/x.dat", findings);
    ASSERT_EQ(source.lines.size(), 4u);
    EXPECT_EQ(source.lines[2], u"three\nsame");
    const auto sorted = findings.Sorted();
    ASSERT_EQ(sorted.size(), 2u);
    EXPECT_EQ(FormatFinding(sorted[0]),
        "txt/x.dat:3:6: warning: lines end in a line feed (LF) alone (1 in the file), which the player does not take "
        "as a "
        "line end: they play as one line; save the file with CR LF line ends (miradel-encode writes them from a UTF-8 "
        "source)");
    EXPECT_EQ(FormatFinding(sorted[1]),
        "txt/x.dat:4:3: warning: byte 0x82 is not valid in Shift-JIS (code page 932) and shows as \"\xEF\xBF\xBD\"");
}

TEST(SceneSource, NamesTheEncodingOfAUnicodeFileOnce)
{
    Findings findings;
    DecodeSceneSource("\xE3\x81\x82\r\n\xE3\x81\x84\r\n", "txt/u.dat", findings);
    const auto sorted = findings.Sorted();
    ASSERT_EQ(sorted.size(), 1u);
    EXPECT_NE(sorted[0].message.find("looks like UTF-8"), std::string::npos);
}

} // namespace
} // namespace miradel::check
