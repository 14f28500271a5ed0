// miradel_encode_scene SOURCE OUTPUT: writes the scene file OUTPUT (code page 932, CR LF)
// from the UTF-8 scene source SOURCE, or reports every problem as "SOURCE:line:column:
// error: ..." and fails, so that a build stops on a line the player could not read.

#include "SceneEncoder.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

namespace {

bool ReadWholeFile(const std::filesystem::path& path, std::string& contents)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    contents.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// Written beside the target first, so a failed run never leaves half a scene behind.
bool WriteWholeFile(const std::filesystem::path& path, const std::string& contents)
{
    std::filesystem::path partial = path;
    partial += ".partial";
    {
        std::ofstream file(partial, std::ios::binary | std::ios::trunc);
        file.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        if (!file) {
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(partial, path, error);
    return !error;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: miradel_encode_scene SOURCE OUTPUT\n";
        return 2;
    }
    const std::string sourceName = argv[1];
    const std::filesystem::path outputPath = argv[2];
    std::string source;
    if (!ReadWholeFile(sourceName, source)) {
        std::cerr << sourceName << ": error: cannot read the file\n";
        return 1;
    }
    const miradel::content::EncodedScene scene = miradel::content::EncodeScene(source);
    if (!scene.Succeeded()) {
        for (const auto& error : scene.errors) {
            std::cerr << sourceName << ':' << error.line << ':' << error.column << ": error: " << error.message << '\n';
        }
        std::error_code ignored;
        std::filesystem::remove(outputPath, ignored);
        return 1;
    }
    if (!WriteWholeFile(outputPath, scene.bytes)) {
        std::cerr << outputPath.string() << ": error: cannot write the file\n";
        return 1;
    }
    return 0;
}
