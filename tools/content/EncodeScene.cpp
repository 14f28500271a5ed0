// SPDX-License-Identifier: MIT
// miradel-encode SOURCE OUTPUT
// miradel-encode -d FOLDER SOURCE...
//
// Writes scene files as the player reads them (code page 932, CR LF) from scene sources
// written in UTF-8: SOURCE to OUTPUT, or each NAME.txt (any extension) to FOLDER/NAME.dat.
// Every problem is reported as "SOURCE:line:column: error: ..." and nothing is written for
// that source, so that a build stops on a line the player could not read. Exit status: 0
// when every source was written, 1 when one could not be, 2 for a wrong command line.

#include "SceneEncoder.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

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

constexpr const char* kUsage = "usage: miradel-encode SOURCE OUTPUT\n"
                               "       miradel-encode -d FOLDER SOURCE...\n"
                               "Turns scene sources written in UTF-8 into scene files the player reads: code page 932\n"
                               "(Shift-JIS) with CR LF line ends. With -d, each NAME.txt becomes FOLDER/NAME.dat.\n"
                               "  -d FOLDER   write every SOURCE into FOLDER, named after it with the extension .dat\n"
                               "  --help      show this help and exit\n"
                               "  --version   show the version and exit\n";

// Encodes one source; false, with every reason reported, when nothing could be written.
bool EncodeFile(const std::string& sourceName, const std::filesystem::path& outputPath)
{
    std::string source;
    if (!ReadWholeFile(sourceName, source)) {
        std::cerr << sourceName << ": error: cannot read the file\n";
        return false;
    }
    const miradel::content::EncodedScene scene = miradel::content::EncodeScene(source);
    if (!scene.Succeeded()) {
        for (const auto& error : scene.errors) {
            std::cerr << sourceName << ':' << error.line << ':' << error.column << ": error: " << error.message << '\n';
        }
        std::error_code ignored;
        std::filesystem::remove(outputPath, ignored);
        return false;
    }
    if (!WriteWholeFile(outputPath, scene.bytes)) {
        std::cerr << outputPath.string() << ": error: cannot write the file\n";
        return false;
    }
    return true;
}

int Refuse(const std::string& problem)
{
    std::cerr << "miradel-encode: " << problem << " (see miradel-encode --help)\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> sources;
    std::string folder;
    bool folderGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--help" || argument == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (argument == "--version") {
            std::cout << "miradel-encode " MIRADEL_VERSION "\n";
            return 0;
        }
        if (argument == "-d") {
            if (i + 1 == argc || folderGiven) {
                return Refuse("-d needs one folder");
            }
            folder = argv[++i];
            folderGiven = true;
        } else if (argument.starts_with('-') && argument != "-") {
            return Refuse("unknown option " + std::string(argument));
        } else {
            sources.emplace_back(argument);
        }
    }
    if (!folderGiven) {
        if (sources.size() != 2) {
            return Refuse("give one SOURCE and one OUTPUT, or -d FOLDER and the sources");
        }
        return EncodeFile(sources[0], sources[1]) ? 0 : 1;
    }
    std::error_code error;
    if (sources.empty() || !std::filesystem::is_directory(folder, error)) {
        return Refuse(sources.empty() ? "no SOURCE to encode" : "no such folder: " + folder);
    }
    bool allWritten = true;
    for (const std::string& source : sources) {
        const std::filesystem::path output
            = std::filesystem::path(folder) / std::filesystem::path(source).filename().replace_extension(".dat");
        allWritten = EncodeFile(source, output) && allWritten;
    }
    return allWritten ? 0 : 1;
}
