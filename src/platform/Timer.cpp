#include "platform/Timer.h"

#include "platform/FatalError.h"

#include <QTimer>
#include <algorithm>
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

void Timer::Apply()
{
    // Without an event loop (unit tests, tools) the state is kept and nothing ticks.
    if (m_enabled && !AllStopped()) {
        if (!m_timer->isActive())
            m_timer->start();
    } else {
        m_timer->stop();
    }
}

void Timer::StopAll()
{
    AllStopped() = true;
    for (Timer* timer : AllTimers())
        timer->m_timer->stop();
}

} // namespace miradel
