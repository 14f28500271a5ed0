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
ContentFile LocateContentFile(TextView folder, TextView name, TextView extension, TextView gameFolder);

std::filesystem::path PathFromText(TextView text);

// The folder of the program's executable (symbolic links resolved), ending in a separator.
Text ExecutableFolder();

} // namespace miradel
