// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <functional>
#include <memory>

class QTimer;

namespace miradel {

// A window timer: an interval in milliseconds, on or off, and a tick handler.
class Timer {
public:
    using Clock = std::chrono::steady_clock;

    explicit Timer(int intervalMilliseconds, bool enabled = false);
    ~Timer();
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void SetEnabled(bool enabled);
    bool Enabled() const { return m_enabled; }
    int Interval() const { return m_interval; }
    void OnTick(std::function<void()> handler) { m_onTick = std::move(handler); }

    // Skips the ticks that would come before `at`: the next tick comes at `at`, or after the
    // interval when that is later. Clock::time_point::max() holds the ticks until the next
    // call, min() goes back to ticking at every interval.
    void TickAt(Clock::time_point at);

    // Stops every timer of the program for good, so that nothing ticks behind a fatal
    // error report or during shutdown.
    static void StopAll();

private:
    void Apply();

    int m_interval;
    bool m_enabled;
    Clock::time_point m_nextTick = Clock::time_point::min();
    std::function<void()> m_onTick;
    std::unique_ptr<QTimer> m_timer;
};

} // namespace miradel
