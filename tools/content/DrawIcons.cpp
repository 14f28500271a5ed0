// SPDX-License-Identifier: MIT
// miradel_draw_icons FOLDER: draws the program's icon into FOLDER as an icon theme tree,
// SIZExSIZE/apps/miradel.png for every size a desktop asks for, with the window's own shapes.

#include "platform/WindowIcon.h"

#include <QCoreApplication>
#include <QImage>
#include <QString>

#include <filesystem>
#include <iostream>
#include <string>

int main(int argc, char** argv)
{
    // The PNG writer is found through the application object.
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: miradel_draw_icons FOLDER\n";
        return 2;
    }
    for (const int size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
        const std::string sizeName = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path folder = std::filesystem::path(argv[1]) / sizeName / "apps";
        std::filesystem::create_directories(folder);
        const std::filesystem::path file = folder / "miradel.png";
        if (!miradel::DrawProgramIcon(size).save(QString::fromStdString(file.string()), "PNG")) {
            std::cerr << file.string() << ": error: cannot write the icon\n";
            return 1;
        }
    }
    return 0;
}
