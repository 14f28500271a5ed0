// SPDX-License-Identifier: MIT
#include "SceneEncoder.h"

#include <gtest/gtest.h>

namespace miradel::content {

namespace {

// Expected bytes are typed from the code page 932 table, not produced by the encoder:
// ミ 837E, オ 8349, 。 8142, ▼ 81A5, ～ 8160, ― 815C, ｶ B6.

TEST(SceneEncoder, WritesCodePage932WithCrLfAfterEveryLine)
{
    EXPECT_EQ(EncodeScene("ミオ。\n>p\n").bytes, "\x83\x7E\x83\x49\x81\x42\r\n>p\r\n");
    // Sources saved on Windows, or without a last line end, give the same file.
    EXPECT_EQ(EncodeScene("ミオ。\r\n>p").bytes, "\x83\x7E\x83\x49\x81\x42\r\n>p\r\n");
    EXPECT_EQ(EncodeScene("\xEF\xBB\xBF▼～―ｶ\n").bytes, "\x81\xA5\x81\x60\x81\x5C\xB6\r\n");
}

TEST(SceneEncoder, KeepsEmptyLinesTheyAreTextToThePlayer)
{
    EXPECT_EQ(EncodeScene("a\n\nb\n").bytes, "a\r\n\r\nb\r\n");
    EXPECT_EQ(EncodeScene("a\n\n").bytes, "a\r\n\r\n");
    EXPECT_EQ(EncodeScene("").bytes, "");
}

TEST(SceneEncoder, ReportsEveryCharacterCodePage932CannotHold)
{
    const EncodedScene scene = EncodeScene("ミオ\n星が한つ\nok\n🌙と\n");
    ASSERT_EQ(scene.errors.size(), 2u);
    EXPECT_EQ(scene.errors[0].line, 2);
    EXPECT_EQ(scene.errors[0].column, 3);
    EXPECT_NE(scene.errors[0].message.find("U+D55C"), std::string::npos);
    EXPECT_EQ(scene.errors[1].line, 4);
    EXPECT_EQ(scene.errors[1].column, 1);
    EXPECT_NE(scene.errors[1].message.find("U+1F319"), std::string::npos);
    EXPECT_TRUE(scene.bytes.empty());
}

TEST(SceneEncoder, RejectsBytesThatAreNotUtf8)
{
    const EncodedScene scene = EncodeScene("ab\xE3\x81\n");
    ASSERT_EQ(scene.errors.size(), 1u);
    EXPECT_EQ(scene.errors[0].column, 3);
    EXPECT_NE(scene.errors[0].message.find("not UTF-8"), std::string::npos);
}

// The player ends with an error on a "--" line whose count it cannot read, so the encoder
// refuses exactly those lines, and no line the player takes.
TEST(SceneEncoder, RefusesTheStepRunsThePlayerCannotRead)
{
    for (const char* line : { "--", "----", "--x", "--3 lines", "--99999999999", "--2147483648", "--+-1" }) {
        const EncodedScene scene = EncodeScene(line);
        ASSERT_EQ(scene.errors.size(), 1u) << line;
        EXPECT_EQ(scene.errors[0].column, 3) << line;
    }
    for (const char* line :
        { "--3", "--0", "---2", "-- 3", "--+2", "--\u30003 ", "--2147483647", "---2147483648", "――ふっ" }) {
        EXPECT_TRUE(EncodeScene(line).Succeeded()) << line;
    }
}

} // namespace

} // namespace miradel::content
