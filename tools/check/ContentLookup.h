#pragma once

#include "platform/ContentFiles.h"
#include "platform/Text.h"

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace miradel::check {

// Finds content files the way the player does (through LocateContentFile) and tells how
// the name matched: letter case matters on this system even where it does not on Windows.
// It remembers every file that a name reached, so that what nothing opens can be listed.
class ContentLookup {
public:
    enum class Match { Exact, IgnoringCase, Missing };
    struct Located {
        ContentFile file;
        Match match = Match::Missing;
        // For a name that matched only ignoring case (or that is missing but would match
        // so): the file that is there, relative to the game folder.
        std::string otherCase;
    };

    // `gameFolder` ends in a separator.
    explicit ContentLookup(Text gameFolder);

    // `folder` is relative to the game folder and ends in "/" (or is empty). Answers are
    // remembered: a name that many lines use is looked up once.
    Located Locate(TextView folder, TextView name, TextView extension);

    // The files below `folder` that no Locate reached, relative to the game folder, sorted.
    std::vector<std::string> UnusedFiles(TextView folder) const;

    const Text& GameFolder() const { return m_gameFolder; }

private:
    const std::vector<std::string>& EntriesOf(const std::filesystem::path& folder);
    std::string FindIgnoringCase(TextView relative, bool& exact);
    void MarkUsed(const std::filesystem::path& path);

    Text m_gameFolder;
    std::map<std::filesystem::path, std::vector<std::string>> m_entries;
    std::set<std::filesystem::path> m_used;
    std::map<Text, Located> m_located;
};

} // namespace miradel::check
