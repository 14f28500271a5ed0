// SPDX-License-Identifier: MIT
#include "app/Frm.h"
#include "app/StartOptions.h"
#include "music/MusicProcedures.h"
#include "platform/ContentFiles.h"
#include "platform/DisplayStart.h"
#include "platform/FirstFrame.h"
#include "platform/Fonts.h"
#include "platform/GameFolder.h"
#include "platform/MediaControlSdl.h"
#include "platform/Random.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <optional>

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

// Where the bundled game is installed, relative to the installed program; set by the build.
#ifndef MIRADEL_INSTALLED_GAME
#define MIRADEL_INSTALLED_GAME ""
#endif

int main(int argc, char** argv)
{
    const miradel::StartOptions options = miradel::ParseStartOptions(argc, argv);
    switch (options.action) {
    case miradel::StartOptions::Action::ShowHelp:
        std::fputs(miradel::kStartUsage, stdout);
        return 0;
    case miradel::StartOptions::Action::ShowVersion:
        std::puts("miradel " MIRADEL_VERSION);
        return 0;
    case miradel::StartOptions::Action::Refuse:
        std::fprintf(stderr, "miradel: %s (see miradel --help)\n", options.problem.c_str());
        return 2;
    case miradel::StartOptions::Action::Play:
        break;
    }
    std::optional<miradel::Text> namedFolder;
    if (options.folderNamed) {
        namedFolder = miradel::NamedGameFolder(options.gameFolder);
        if (!namedFolder) {
            std::fprintf(stderr, "miradel: no such game folder: %s\n", options.gameFolder.c_str());
            return 2;
        }
    }
    if (DisplayMissing()) {
        std::fputs(
            "miradel: no display to show the game on (DISPLAY is not set); start it from a desktop session.\n", stderr);
        return 1;
    }
    miradel::ReportDisplayFailureInOneLine();
    QApplication application(argc, argv);
    miradel::EndDisplayStart();
    miradel::ChooseJapaneseInterfaceFont();
    miradel::ExpectFirstFrame();
    miradel::UseMediaControl(miradel::SystemMediaControl());
    miradel::ClockSeededRandom random;
    QGuiApplication::setDesktopFileName(QStringLiteral("org.miradel.Miradel"));
    const miradel::Text gameFolder = namedFolder
        ? *namedFolder
        : miradel::DefaultGameFolder(miradel::ExecutableFolder(), u"" MIRADEL_INSTALLED_GAME);
    miradel::Frm form(gameFolder, random);
    form.Start();
    return application.exec();
}
