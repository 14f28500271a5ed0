#include "platform/SizeAnswers.h"

#include <gtest/gtest.h>

namespace miradel::test {
namespace {

using Answer = SizeAnswers::Answer;

TEST(SizeAnswers, WhatAReportedSizeMeans)
{
    SizeAnswers answers;
    EXPECT_EQ(answers.Note(614, 300), Answer::Outside) << "nothing set: a change from outside";

    answers.Asked(614, 409);
    EXPECT_EQ(answers.Note(614, 409), Answer::Ours);
    EXPECT_EQ(answers.Note(614, 409), Answer::Outside) << "each answer counts once";

    // A run that sets the width and then the height: two answers, in order.
    answers.Asked(614, 300);
    answers.Asked(614, 409);
    EXPECT_EQ(answers.Note(614, 300), Answer::Ours);
    EXPECT_EQ(answers.Note(614, 409), Answer::Ours);

    // Only the last answer arrives (the window system merged them).
    answers.Asked(614, 300);
    answers.Asked(614, 409);
    EXPECT_EQ(answers.Note(614, 409), Answer::Ours);
    EXPECT_EQ(answers.Note(614, 300), Answer::Outside);
}

TEST(SizeAnswers, AnotherSizeForOursIsARefusalOnce)
{
    SizeAnswers answers;
    answers.Asked(614, 409);
    EXPECT_EQ(answers.Note(800, 600), Answer::Refused);
    // The same size again is the window system's own doing now, not an answer to us.
    EXPECT_EQ(answers.Note(800, 600), Answer::Outside);

    // A window system that never answers: what is pending stays bounded, and is still ours.
    for (int i = 0; i < 1000; ++i)
        answers.Asked(100 + i, 100);
    EXPECT_EQ(answers.Note(1099, 100), Answer::Ours);
}

} // namespace
} // namespace miradel::test
