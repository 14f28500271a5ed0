#include "platform/DisplayStart.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace miradel {

static QtMessageHandler s_previous = nullptr;
// What the display plugin said first: the cause; what follows only says the plugin failed.
static QByteArray s_reason;

static void OnStartMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const bool fromPlatform = context.category && std::strncmp(context.category, "qt.qpa", 6) == 0;
    if (type == QtFatalMsg) {
        const QByteArray reason = s_reason.isEmpty() ? QByteArray("no display plugin could start") : s_reason;
        std::fprintf(stderr, "miradel: the game cannot open its window: %s\n", reason.constData());
        std::fflush(stderr);
        std::_Exit(1);
    }
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
}

void EndDisplayStart()
{
    qInstallMessageHandler(s_previous);
    s_reason.clear();
}

} // namespace miradel
