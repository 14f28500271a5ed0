// SPDX-License-Identifier: MIT
#include "platform/DisplayStart.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace miradel {

static QtMessageHandler s_previous = nullptr;
// What the display plugin said first: the cause; what follows only says the plugin failed.
static QByteArray s_reason;

[[noreturn]] static void GiveUp(const char* reason)
{
    std::fprintf(stderr, "miradel: the game cannot open its window: %s\n", reason);
    std::fflush(stderr);
    std::_Exit(1);
}

// Connecting blocks on the display's answer; only another thread can stop waiting for it.
class AnswerWatch {
public:
    AnswerWatch()
        : m_thread([this] {
            std::unique_lock lock(m_mutex);
            if (!m_answered.wait_for(lock, std::chrono::seconds(kDisplayAnswerSeconds), [this] { return m_done; })) {
                const char* display = std::getenv("DISPLAY");
                const std::string reason = "the display " + std::string(display ? display : "")
                    + " took the connection but did not answer within " + std::to_string(kDisplayAnswerSeconds)
                    + " seconds";
                GiveUp(reason.c_str());
            }
        })
    {
    }
    ~AnswerWatch()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_answered.notify_one();
        m_thread.join();
    }
    AnswerWatch(const AnswerWatch&) = delete;
    AnswerWatch& operator=(const AnswerWatch&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_answered;
    bool m_done = false;
    std::thread m_thread;
};

static std::unique_ptr<AnswerWatch> s_watch;

static void OnStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const bool fromPlatform = context.category && std::strncmp(context.category, "qt.qpa", 6) == 0;
    if (type == QtFatalMsg)
        GiveUp(s_reason.isEmpty() ? "no display plugin could start" : s_reason.constData());
    if (fromPlatform && type != QtDebugMsg) {
        if (s_reason.isEmpty())
            s_reason = message.toLocal8Bit();
        return;
    }
    if (s_previous)
        s_previous(type, context, message);
}

void ReportDisplayFailureInOneLine()
{
    s_previous = qInstallMessageHandler(OnStartMessage);
    s_watch = std::make_unique<AnswerWatch>();
}

void EndDisplayStart()
{
    s_watch.reset();
    qInstallMessageHandler(s_previous);
    s_reason.clear();
}

} // namespace miradel
