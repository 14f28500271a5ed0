#include "app/Frm.h"
#include "music/MusicProcedures.h"
#include "platform/ContentFiles.h"
#include "platform/DisplayStart.h"
#include "platform/FirstFrame.h"
#include "platform/Fonts.h"
#include "platform/MediaControlSdl.h"
#include "platform/Random.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

// Without a display Qt would abort with a page of advice; one line says it better.
static bool DisplayMissing()
{
#if defined(__linux__) || defined(__FreeBSD__)
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (!platform || !*platform) && (!display || !*display) && (!wayland || !*wayland);
#else
    return false;
#endif
}

int main(int argc, char** argv)
{
    if (DisplayMissing()) {
        std::fputs("miradel: no display to show the game on (DISPLAY is not set); start it from a desktop session.\n", stderr);
        return 1;
    }
    miradel::ReportDisplayFailureInOneLine();
    QApplication application(argc, argv);
    miradel::EndDisplayStart();
    miradel::ChooseJapaneseInterfaceFont();
    miradel::ExpectFirstFrame();
    miradel::UseMediaControl(miradel::SystemMediaControl());
    miradel::ClockSeededRandom random;
    miradel::Frm form(miradel::ExecutableFolder(), random);
    form.Start();
    return application.exec();
}
