// SPDX-License-Identifier: MIT
#include "platform/FirstFrame.h"

#include <condition_variable>
#include <mutex>
#include <stop_token>

namespace miradel {

namespace {

struct FirstFrameState {
    std::mutex lock;
    std::condition_variable_any shown;
    bool expected = false;
};

FirstFrameState& State()
{
    static FirstFrameState state;
    return state;
}

} // namespace

void ExpectFirstFrame()
{
    std::lock_guard guard(State().lock);
    State().expected = true;
}

void MarkFirstFrameShown()
{
    {
        std::lock_guard guard(State().lock);
        State().expected = false;
    }
    State().shown.notify_all();
}

bool FirstFramePending()
{
    std::lock_guard guard(State().lock);
    return State().expected;
}

void WaitForFirstFrame(std::chrono::milliseconds limit, std::stop_token stop)
{
    std::unique_lock guard(State().lock);
    State().shown.wait_for(guard, stop, limit, [] { return !State().expected; });
}

} // namespace miradel
