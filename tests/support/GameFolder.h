// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

#include <QColor>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace miradel::test {

// A folder of a test's own under the system's temporary folder, removed with everything in
// it: a game folder, or any files a test needs. Scenes are given as UTF-8 lines and written
// in code page 932 with CR LF, as the game's files are; pictures are JPEGs of one colour.
class GameFolder {
public:
    GameFolder();
    ~GameFolder();
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The folder as the program takes it, ending in "/".
    Text Root() const;

    // Any file below the folder, by its path relative to it ("img/ttl.jpg"); returns its path.
    std::filesystem::path WriteFile(const std::string& relative, std::string_view bytes) const;
    void WriteScene(const std::string& name, const std::vector<std::string>& utf8Lines) const;
    void WriteSceneBytes(const std::string& name, std::string_view bytes) const;
    void WritePicture(const std::string& relative, QColor color, int width = 64, int height = 64) const;
    // Every scene the game opens, each one line long, so that one click ends it.
    void WriteAllScenes() const;
    // Every picture the game shows and every blink frame.
    void WriteAllPictures() const;
    void Remove(const std::string& relative) const;

private:
    std::filesystem::path m_path;
};

// Code page 932 bytes of UTF-8 text (iconv; every character must exist in the code page).
std::string Cp932Bytes(std::string_view utf8);
// A scene file's bytes: each line in code page 932, ended by CR LF.
std::string SceneBytes(const std::vector<std::string>& utf8Lines);

} // namespace miradel::test
