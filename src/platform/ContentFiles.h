// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ContentOpen.h"
#include "platform/Text.h"

#include <filesystem>
#include <string>

namespace miradel {

// How a name found its file.
enum class ContentMatch {
    Exact,
    // Only when letter case is ignored, as Windows finds it.
    IgnoringCase,
    // Two or more entries match ignoring case, and none exactly: which one the author meant
    // cannot be told.
    Ambiguous,
    // Nothing there, or something that is not a regular file (a folder, a named pipe, a device).
    Missing,
};

// Where a content file named in the game lives: its path on disk, and the name that
// messages show (relative to the game folder, such as "txt/opn.dat").
struct ContentFile {
    std::filesystem::path path;
    std::string shownName;
    ContentMatch match = ContentMatch::Missing;
    // For IgnoringCase, the file found, relative to the game folder as it is named there.
    std::string foundName;

    bool Found() const { return match == ContentMatch::Exact || match == ContentMatch::IgnoringCase; }
};

// The one way from a folder (ending in a separator) and a name to a content file:
// `folder` & `name` & `extension`. `gameFolder` is what shown names are relative to.
//
// Content made on Windows names its files as that system finds them: a backslash in a name
// separates folders, and letter case does not matter. So every component below the game
// folder that does not exist under its exact name is taken from the one entry of its folder
// that matches it ignoring case. Entry names that are not UTF-8 are read as code page 932,
// the names a Windows archive leaves. With no such entry, or with two, the exact path is
// returned and the shown name says what was there instead. Only a regular file is found:
// anything else would block or never end when read. A name holding a NUL is a RuntimeError.
ContentFile LocateContentFile(TextView folder, TextView name, TextView extension, TextView gameFolder);

// Paths are bytes; text holds bytes that are not UTF-8 as TextFromUtf8 does, so a path
// makes the round trip through text unchanged.
std::filesystem::path PathFromText(TextView text);
Text TextFromPath(const std::filesystem::path& path);

// The folder of the program's executable (symbolic links resolved), ending in a separator.
Text ExecutableFolder();

} // namespace miradel
