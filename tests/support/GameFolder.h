// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

#include <QColor>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace miradel::test {

// A folder of a test's own under the temporary folder, removed with all it holds. Scenes are
// UTF-8 lines written in code page 932 with CR LF, as the game's are; pictures are one-colour JPEGs.
class GameFolder {
public:
    GameFolder();
    ~GameFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The folder as the program takes it, ending in "/".
    Text Root() const { return TextFromUtf8(m_path.string() + "/"); }

    // A file by its path relative to the folder ("img/ttl.jpg"); returns its full path.
    std::filesystem::path WriteFile(const std::string& relative, std::string_view bytes) const;
    void WriteScene(const std::string& name, const std::vector<std::string>& utf8Lines) const;
    void WriteSceneBytes(const std::string& name, std::string_view bytes) const;
    void WritePicture(const std::string& relative, QColor color, int width = 64, int height = 64) const;
    // Every scene the game opens, one line each (one click ends it); every picture and blink frame.
    void WriteWholeGame() const;
    void Remove(const std::string& relative) const { std::filesystem::remove(m_path / relative); }

private:
    std::filesystem::path m_path;
};

// A scene file's bytes: each line in code page 932, ended by CR LF.
std::string SceneBytes(const std::vector<std::string>& utf8Lines);

std::string ReadWholeFile(const std::filesystem::path& path);

} // namespace miradel::test
