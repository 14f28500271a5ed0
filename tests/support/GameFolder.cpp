// SPDX-License-Identifier: MIT
#include "support/GameFolder.h"

#include "game/SceneNames.h"

#include <QImage>
#include <fstream>
#include <iconv.h>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace miradel::test {

GameFolder::GameFolder()
{
    static int count = 0;
    m_path = std::filesystem::temp_directory_path()
        / ("miradel-test-" + std::to_string(getpid()) + "-" + std::to_string(count++));
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

std::string SceneBytes(const std::vector<std::string>& utf8Lines)
{
    iconv_t converter = iconv_open("CP932", "UTF-8");
    std::string bytes;
    for (std::string line : utf8Lines) {
        std::string converted(line.size() * 2, '\0');
        char* in = line.data();
        char* out = converted.data();
        std::size_t inLeft = line.size();
        std::size_t outLeft = converted.size();
        if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1))
            throw std::runtime_error("not in code page 932: " + line);
        bytes.append(converted.data(), out) += "\r\n";
    }
    iconv_close(converter);
    return bytes;
}

std::string ReadWholeFile(const std::filesystem::path& path)
{
    return std::string(std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {});
}

std::filesystem::path GameFolder::WriteFile(const std::string& relative, std::string_view bytes) const
{
    const std::filesystem::path path = m_path / relative;
    std::filesystem::create_directories(path.parent_path());
    if (!std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        throw std::runtime_error("cannot write " + path.string());
    return path;
}

void GameFolder::WriteSceneBytes(const std::string& name, std::string_view bytes) const
{
    WriteFile("txt/" + name + ".dat", bytes);
}

void GameFolder::WriteScene(const std::string& name, const std::vector<std::string>& utf8Lines) const
{
    WriteSceneBytes(name, SceneBytes(utf8Lines));
}

void GameFolder::WritePicture(const std::string& relative, QColor color, int width, int height) const
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    image.save(QString::fromStdString(WriteFile(relative, "").string()), "JPG");
}

void GameFolder::WriteWholeGame() const
{
    for (const Text& scene : ScenesTheGameOpens())
        WriteScene(TextToUtf8(scene), { TextToUtf8(scene) });
    for (const Text& picture : PicturesTheGameShows())
        WritePicture("img/" + TextToUtf8(picture) + ".jpg", QColor(0x33, 0x66, 0x99));
    for (const Text& picture : BlinkingPictures())
        WritePicture("img/" + TextToUtf8(picture) + "_.jpg", QColor(0x99, 0x66, 0x33));
}

} // namespace miradel::test
