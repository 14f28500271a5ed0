// SPDX-License-Identifier: MIT
#include "platform/GameFolder.h"

#include "platform/ContentFiles.h"

#include <filesystem>
#include <system_error>

namespace miradel {

static bool IsFolder(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::is_directory(path, error);
}

static Text FolderText(const std::filesystem::path& path)
{
    Text text = TextFromPath(path.lexically_normal());
    if (text.empty() || text.back() != u'/')
        text += u'/';
    return text;
}

std::optional<Text> NamedGameFolder(std::string_view argument)
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::absolute(std::filesystem::path(argument), error);
    if (argument.empty() || error || !IsFolder(folder))
        return std::nullopt;
    return FolderText(folder);
}

Text DefaultGameFolder(TextView executableFolder, TextView installedGame)
{
    const std::filesystem::path beside = PathFromText(executableFolder);
    if (IsFolder(beside / "txt") || installedGame.empty())
        return Text(executableFolder);
    const std::filesystem::path installed = beside / PathFromText(installedGame);
    return IsFolder(installed) ? FolderText(installed) : Text(executableFolder);
}

} // namespace miradel
