// SPDX-License-Identifier: MIT
#include "platform/FirstFrame.h"

#include "platform/SizeAnswers.h"
#include "platform/Window.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <chrono>
#include <future>
#include <gtest/gtest.h>

namespace miradel::test {
namespace {

using namespace std::chrono_literals;

// Generous: a broken wait shows as a failure long before these run out.
constexpr auto kLong = 60s;

// A frame expected and never marked would hold the other tests' windows back.
TEST(FirstFrame, TheWaitEndsAtTheMarkAtAStopOrAtTheLimitAndTheWindowMarksItsFirstPaint)
{
    auto unexpected = std::async(std::launch::async, [] { WaitForFirstFrame(kLong); });
    EXPECT_EQ(unexpected.wait_for(kLong / 2), std::future_status::ready) << "no frame expected, nothing waits";

    ExpectFirstFrame();
    WaitForFirstFrame(0ms);
    EXPECT_TRUE(FirstFramePending()) << "giving up is not the mark";
    std::stop_source stop;
    auto stopped = std::async(std::launch::async, [token = stop.get_token()] { WaitForFirstFrame(kLong * 2, token); });
    stop.request_stop();
    EXPECT_EQ(stopped.wait_for(kLong), std::future_status::ready);
    EXPECT_TRUE(FirstFramePending());
    auto marked = std::async(std::launch::async, [] { WaitForFirstFrame(kLong * 2); });
    MarkFirstFrameShown();
    EXPECT_EQ(marked.wait_for(kLong), std::future_status::ready);
    EXPECT_FALSE(FirstFramePending());

    ExpectFirstFrame();
    Window window;
    bool pendingAtActivation = false;
    window.OnFirstActivate([&] { pendingAtActivation = FirstFramePending(); });
    window.Show();
    const QDeadlineTimer deadline(30000);
    while (FirstFramePending() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_FALSE(FirstFramePending());
    EXPECT_TRUE(pendingAtActivation) << "the frame painted before the first activation shows no text yet";
    MarkFirstFrameShown();
}

using Answer = SizeAnswers::Answer;

TEST(SizeAnswers, OurOwnSizesComeBackAsOursAndTheSizeForcedAgainIsARefusal)
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

    // Only the size set back from, forced again, is a refusal: a tiling manager forces 800 x 600,
    // we set 614 x 409 back, it forces 800 x 600 again.
    answers = SizeAnswers();
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
