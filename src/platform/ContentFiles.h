#pragma once

#include "platform/Text.h"

#include <filesystem>
#include <string>

namespace miradel {

// Where a content file named in the game lives: its path on disk, and the name that
// messages show (relative to the game folder, such as "txt/opn.dat").
struct ContentFile {
    std::filesystem::path path;
    std::string shownName;
};

// The one way from a folder (ending in a separator) and a name to a content file:
// `folder` & `name` & `extension`. `gameFolder` is what shown names are relative to.
//
// Content made on Windows names its files as that system finds them: a backslash in a name
// separates folders, and letter case does not matter. So every component below the game
// folder that does not exist under its exact name is taken from the one entry of its folder
// that matches it ignoring case. With no such entry, or with two (which one the author meant
// cannot be told), the exact path is returned and opening it reports the file missing; the
// shown name then says which candidates there were.
ContentFile LocateContentFile(TextView folder, TextView name, TextView extension, TextView gameFolder);

std::filesystem::path PathFromText(TextView text);
// The path as text for messages and services that take text; bytes that are not UTF-8
// become U+FFFD.
Text TextFromPath(const std::filesystem::path& path);

// The folder of the program's executable (symbolic links resolved), ending in a separator.
Text ExecutableFolder();

} // namespace miradel
