// SPDX-License-Identifier: MIT
#include "platform/SizeAnswers.h"

#include <gtest/gtest.h>

namespace miradel::test {
namespace {

using Answer = SizeAnswers::Answer;

TEST(SizeAnswers, OurOwnSizesComeBackAsOurs)
{
    SizeAnswers answers;
    EXPECT_EQ(answers.Note(614, 300), Answer::Outside) << "nothing set: a change from outside";

    answers.Asked(614, 409);
    EXPECT_EQ(answers.Note(614, 409), Answer::Ours);
    EXPECT_EQ(answers.Note(614, 409), Answer::Outside) << "each answer counts once";

    // A run that sets the width and then the height: two answers, in order, or only the last.
    answers.Asked(614, 300);
    answers.Asked(614, 409);
    EXPECT_EQ(answers.Note(614, 300), Answer::Ours);
    EXPECT_EQ(answers.Note(614, 409), Answer::Ours);
    answers.Asked(614, 300);
    answers.Asked(614, 409);
    EXPECT_EQ(answers.Note(614, 409), Answer::Ours);
    EXPECT_EQ(answers.Note(614, 300), Answer::Outside);

    // A window system that never answers: what is pending stays bounded, and is still ours.
    for (int i = 0; i < 1000; ++i)
        answers.Asked(100 + i, 100);
    EXPECT_EQ(answers.Note(1099, 100), Answer::Ours);
}

TEST(SizeAnswers, OnlyTheSizeSetBackFromForcedAgainIsARefusal)
{
    SizeAnswers answers;
    // A tiling manager forces 800 x 600; we set 614 x 409 back; it forces 800 x 600 again.
    answers.SettingBack(800, 600);
    answers.Asked(614, 409);
    EXPECT_EQ(answers.Note(800, 600), Answer::Refused);
    EXPECT_EQ(answers.Note(800, 600), Answer::Outside) << "once refused, a later change is new";

    // Another size while ours is pending: a new change from outside, our answer merged away.
    answers.SettingBack(800, 600);
    answers.Asked(614, 409);
    EXPECT_EQ(answers.Note(300, 200), Answer::Outside);
    answers.Asked(614, 409);
    EXPECT_EQ(answers.Note(800, 600), Answer::Outside) << "the size set back from was forgotten";
}

} // namespace
} // namespace miradel::test
