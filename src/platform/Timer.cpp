// SPDX-License-Identifier: MIT
#include "platform/Timer.h"

#include "platform/FatalError.h"

#include <QTimer>
#include <algorithm>
#include <limits>
#include <vector>

namespace miradel {

static std::vector<Timer*>& AllTimers()
{
    static std::vector<Timer*> timers;
    return timers;
}

static bool& AllStopped()
{
    static bool stopped = false;
    return stopped;
}

Timer::Timer(int intervalMilliseconds, bool enabled)
    : m_interval(intervalMilliseconds)
    , m_enabled(enabled)
    , m_timer(std::make_unique<QTimer>())
{
    m_timer->setInterval(m_interval);
    m_timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_timer.get(), &QTimer::timeout, [this] {
        // A skipping wait is over: back to the interval, unless the handler skips again.
        if (m_timer->interval() != m_interval) {
            m_nextTick = Clock::time_point::min();
            m_timer->start(m_interval);
        }
        if (m_enabled && m_onTick)
            RunGuarded(m_onTick);
    });
    AllTimers().push_back(this);
    Apply();
}

Timer::~Timer()
{
    auto& timers = AllTimers();
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

void Timer::SetEnabled(bool enabled)
{
    m_enabled = enabled;
    Apply();
}

void Timer::TickAt(Clock::time_point at)
{
    m_nextTick = at;
    Apply();
}

void Timer::Apply()
{
    // Without an event loop (unit tests, tools) the state is kept and nothing ticks.
    if (!m_enabled || AllStopped() || m_nextTick == Clock::time_point::max()) {
        m_timer->stop();
        return;
    }
    int interval = m_interval;
    if (m_nextTick != Clock::time_point::min()) {
        // Rounded up: a tick a little late is a tick that may see the change.
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(m_nextTick - Clock::now()).count();
        if (wait > m_interval)
            interval = static_cast<int>(std::min<long long>(wait, std::numeric_limits<int>::max()));
    }
    // A timer already ticking at its interval keeps its pace.
    if (m_timer->isActive() && m_timer->interval() == interval && interval == m_interval)
        return;
    m_timer->start(interval);
}

void Timer::StopAll()
{
    AllStopped() = true;
    for (Timer* timer : AllTimers())
        timer->m_timer->stop();
}

} // namespace miradel
