// SPDX-License-Identifier: MIT
#include "platform/FatalError.h"

#include "platform/Timer.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

namespace miradel {

static std::function<void(int)>& EndProgramHandler()
{
    static std::function<void(int)> handler;
    return handler;
}

void SetEndProgramHandler(std::function<void(int)> handler)
{
    EndProgramHandler() = std::move(handler);
}

void EndProgram(int status)
{
    if (EndProgramHandler()) {
        EndProgramHandler()(status);
        return;
    }
    std::fflush(nullptr);
    // At once: no destructor or handler of the toolkit may run after the window is gone.
    std::_Exit(status);
}

static std::string& ReportedGameFolder()
{
    static std::string folder;
    return folder;
}

void SetReportedGameFolder(TextView folder)
{
    ReportedGameFolder() = TextToUtf8(folder);
}

static void ShowAndExit(const RuntimeError& error)
{
    // Only errors about a content file say where the game was looked for.
    const bool inGame = !error.File().empty() && !ReportedGameFolder().empty();
    std::fprintf(stderr, "miradel: %s\n", error.Report().c_str());
    if (!error.English().empty()) {
        std::fprintf(stderr, "miradel: %s%s\n", error.EnglishReport().c_str(),
            inGame ? (" (game folder " + ReportedGameFolder() + ")").c_str() : "");
    }
    std::fflush(stderr);
    // The box runs an event loop of its own: no tick may step the game behind it.
    Timer::StopAll();
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Miradel"),
            QString::fromStdString(FatalErrorText(error, ReportedGameFolder())), QMessageBox::Ok);
        box.exec();
    }
    EndProgram(1);
}

static FatalErrorHandler& CurrentHandler()
{
    static FatalErrorHandler handler = ShowAndExit;
    return handler;
}

void SetFatalErrorHandler(FatalErrorHandler handler)
{
    CurrentHandler() = handler ? std::move(handler) : FatalErrorHandler(ShowAndExit);
}

void ReportFatalError(const RuntimeError& error)
{
    CurrentHandler()(error);
}

void RunGuarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception&) {
        ReportFatalError(CaughtAsRuntimeError());
    }
}

} // namespace miradel
