// SPDX-License-Identifier: MIT
#include "SceneEncoder.h"

#include <gtest/gtest.h>

namespace miradel::content {

namespace {

// Expected bytes are typed from the code page 932 table, not produced by the encoder:
// ミ 837E, オ 8349, 。 8142, ▼ 81A5, ～ 8160, ― 815C, ｶ B6.

// Sources saved on Windows, with a byte order mark, or without a last line end give the
// same file; empty lines are text to the player and stay.
TEST(SceneEncoder, WritesCodePage932WithCrLfAfterEveryLine)
{
    const std::pair<const char*, const char*> rows[] = {
        { "ミオ。\n>p\n", "\x83\x7E\x83\x49\x81\x42\r\n>p\r\n" },
        { "ミオ。\r\n>p", "\x83\x7E\x83\x49\x81\x42\r\n>p\r\n" },
        { "\xEF\xBB\xBF▼～―ｶ\n", "\x81\xA5\x81\x60\x81\x5C\xB6\r\n" },
        { "a\n\nb\n", "a\r\n\r\nb\r\n" },
        { "a\n\n", "a\r\n\r\n" },
        { "", "" },
    };
    for (const auto& [source, bytes] : rows)
        EXPECT_EQ(EncodeScene(source).bytes, bytes) << source;
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
