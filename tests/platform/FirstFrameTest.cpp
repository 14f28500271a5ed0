// SPDX-License-Identifier: MIT
#include "platform/FirstFrame.h"
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

class FirstFrameTest : public testing::Test {
protected:
    void TearDown() override { MarkFirstFrameShown(); }
};

TEST_F(FirstFrameTest, TheWaitEndsAtTheMarkAtAStopOrAtTheLimit)
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
}

TEST_F(FirstFrameTest, TheWindowMarksItsFirstPaintAfterItsFirstActivation)
{
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
}

} // namespace
} // namespace miradel::test
