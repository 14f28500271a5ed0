// SPDX-License-Identifier: MIT
#include "SceneEncoder.h"

#include <gtest/gtest.h>

namespace miradel::content {
namespace {

// Every line is checked: characters that code page 932 cannot hold, bytes that are not
// UTF-8, and exactly the "--" lines whose count the player cannot read; nothing is written.
TEST(SceneEncoder, ReportsEveryLineThePlayerCannotTake)
{
    const EncodedScene scene = EncodeScene("ミオ\n星が한つ\nok\n🌙と\nab\xE3\x81\n--x\n--99999999999\n-- 3\n--+2\n");
    const std::vector<std::pair<long long, long long>> at = { { 2, 3 }, { 4, 1 }, { 5, 3 }, { 6, 3 }, { 7, 3 } };
    ASSERT_EQ(scene.errors.size(), at.size());
    for (std::size_t i = 0; i < at.size(); ++i)
        EXPECT_EQ(std::pair(scene.errors[i].line, scene.errors[i].column), at[i]) << scene.errors[i].message;
    EXPECT_NE(scene.errors[0].message.find("U+D55C"), std::string::npos);
    EXPECT_NE(scene.errors[1].message.find("U+1F319"), std::string::npos);
    EXPECT_NE(scene.errors[2].message.find("not UTF-8"), std::string::npos);
    EXPECT_TRUE(scene.bytes.empty());
}

} // namespace
} // namespace miradel::content
