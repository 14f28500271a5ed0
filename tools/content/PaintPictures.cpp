// SPDX-License-Identifier: MIT
// miradel_paint_pictures FOLDER: paints every picture of the bundled game into FOLDER as
// NAME.jpg, and the blink frame of each picture that blinks as NAME_.jpg.

#include "Painting.h"
#include "Pictures.h"

#include <QCoreApplication>
#include <QImage>
#include <QString>

#include <filesystem>
#include <iostream>
#include <string>

namespace {

bool SavePicture(
    const miradel::content::PictureRecipe& recipe, miradel::content::Frame frame, const std::filesystem::path& file)
{
    using namespace miradel::content;
    QImage image(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(kPictureWidth / kSheet, kPictureHeight / kSheet);
        recipe.paint(painter, frame);
    }
    return image.save(QString::fromStdString(file.string()), "JPG", 92);
}

} // namespace

int main(int argc, char** argv)
{
    // Image format plug-ins, JPEG among them, are found through the application object.
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        std::cerr << "usage: miradel_paint_pictures FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    for (const auto& recipe : miradel::content::AllPictures()) {
        const std::string name(recipe.name);
        bool saved = SavePicture(recipe, miradel::content::Frame::Normal, folder / (name + ".jpg"));
        if (saved && recipe.blinks) {
            saved = SavePicture(recipe, miradel::content::Frame::Blink, folder / (name + "_.jpg"));
        }
        if (!saved) {
            std::cerr << (folder / name).string() << ": error: cannot write the picture as JPEG\n";
            return 1;
        }
    }
    return 0;
}
