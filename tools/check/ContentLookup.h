// SPDX-License-Identifier: MIT
#pragma once

#include "platform/ContentFiles.h"
#include "platform/Text.h"

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace miradel::check {

// Finds content files with the player's own lookup (LocateContentFile), whose answer says
// how the name matched. It remembers every file that a name reached, so that what nothing
// opens can be listed.
class ContentLookup {
public:
    // `gameFolder` ends in a separator.
    explicit ContentLookup(Text gameFolder);

    // `folder` is relative to the game folder and ends in "/" (or is empty). Answers are
    // remembered: a name that many lines use is looked up once.
    const ContentFile& Locate(TextView folder, TextView name, TextView extension);

    // The files below `folder` that no Locate reached, relative to the game folder, sorted.
    std::vector<std::string> UnusedFiles(TextView folder) const;

    const Text& GameFolder() const { return m_gameFolder; }

private:
    Text m_gameFolder;
    std::set<std::filesystem::path> m_used;
    std::map<Text, ContentFile> m_located;
};

} // namespace miradel::check
