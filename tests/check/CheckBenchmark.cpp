// Times miradel-check on a game of 1,000,000 scene lines (target: under a second), run by
// hand: cmake --build <build> --target miradel_check_benchmark && <build>/tests/check/miradel_check_benchmark
//
// The game is generated here: 25 scenes of 40,000 lines, each a page of four lines of 20
// Japanese characters ("あ" is 82 A0 in code page 932), a ">p", now and then a picture and a
// "--" run, as a long story would be written.

#include "GameCheck.h"
#include "MessageAreaMeasure.h"
#include "game/SceneNames.h"
#include "platform/Fonts.h"

#include <QApplication>
#include <QImage>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

static std::string SceneBytes(long long lines)
{
    std::string line;
    for (int i = 0; i < 20; ++i)
        line += "\x82\xA0";
    std::string bytes;
    for (long long n = 0; n < lines; ++n) {
        if (n % 50 == 49)
            bytes += ">img 0\r\n";
        else if (n % 100 == 98)
            bytes += "--2\r\n";
        else
            bytes += n % 5 == 4 ? ">p" : line;
        bytes += "\r\n";
    }
    return bytes;
}

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    miradel::ChooseJapaneseInterfaceFont();
    const fs::path root = fs::temp_directory_path() / "miradel-check-benchmark";
    fs::create_directories(root / "txt");
    fs::create_directories(root / "img");
    const auto& scenes = miradel::ScenesTheGameOpens();
    const long long perScene = 1'000'000 / static_cast<long long>(scenes.size());
    const std::string bytes = SceneBytes(perScene);
    for (const miradel::Text& scene : scenes)
        std::ofstream(root / "txt" / (miradel::TextToUtf8(scene) + ".dat"), std::ios::binary) << bytes;
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    for (const miradel::Text& name : miradel::PicturesTheGameShows())
        picture.save(QString::fromStdString((root / "img" / (miradel::TextToUtf8(name) + ".jpg")).string()), "JPG");

    const auto start = std::chrono::steady_clock::now();
    const miradel::check::MessageAreaMeasure measure;
    const auto check = miradel::check::CheckGame(miradel::TextFromUtf8(root.generic_string() + "/"), &measure);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%lld scene lines checked in %.3f s (%zu findings)\n", perScene * static_cast<long long>(scenes.size()),
        seconds, check.findings.ErrorCount() + check.findings.WarningCount());
    fs::remove_all(root);
    return 0;
}
