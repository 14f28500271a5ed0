// SPDX-License-Identifier: MIT
#include "platform/ContentFiles.h"

#include "platform/Cp932.h"
#include "platform/PathComponents.h"
#include "platform/RuntimeError.h"

#include <QCoreApplication>
#include <QString>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace miradel {

std::filesystem::path PathFromText(TextView text)
{
    return std::filesystem::path(TextToUtf8(text));
}

Text TextFromPath(const std::filesystem::path& path)
{
    return TextFromUtf8(path.native());
}

// A folder entry's name as text: UTF-8 when it is that, otherwise code page 932.
static Text EntryNameText(const std::string& bytes)
{
    const Text utf8 = TextFromUtf8(bytes);
    const bool escaped = std::any_of(utf8.begin(), utf8.end(), [](char16_t c) { return c >= 0xDC80 && c <= 0xDCFF; });
    return escaped ? DecodeCp932(bytes) : utf8;
}

struct EntryMatches {
    std::vector<std::filesystem::path> exact; // equal once decoded from another encoding
    std::vector<std::filesystem::path> ignoringCase;
};

// The entries of `folder` whose names equal `component` when letter case is ignored
// (Unicode case folding, as Windows also folds full-width letters).
static EntryMatches MatchingEntries(const std::filesystem::path& folder, const Text& component)
{
    EntryMatches matches;
    const QString wanted = QString::fromStdU16String(component);
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::filesystem::path entryName = it->path().filename();
        const Text name = EntryNameText(entryName.native());
        if (name == component)
            matches.exact.push_back(entryName);
        else if (QString::fromStdU16String(name).compare(wanted, Qt::CaseInsensitive) == 0)
            matches.ignoringCase.push_back(entryName);
    }
    std::sort(matches.exact.begin(), matches.exact.end());
    std::sort(matches.ignoringCase.begin(), matches.ignoringCase.end());
    return matches;
}

struct Resolved {
    std::filesystem::path path;
    ContentMatch match = ContentMatch::Exact;
    std::string foundName; // as named on disk (decoded), relative to the root
    std::string note; // empty, or what was there instead of the file
};

static std::string Candidates(const std::vector<std::filesystem::path>& matches, const std::string& shownFolder)
{
    std::string text
        = "大文字と小文字だけが違う候補が " + std::to_string(matches.size()) + " つあり、どれとも決められません:";
    for (const auto& match : matches)
        text += " " + shownFolder + TextToUtf8(EntryNameText(match.native()));
    return text;
}

static Resolved ResolveBelow(const std::filesystem::path& root, const std::vector<Text>& components)
{
    Resolved resolved { root, ContentMatch::Exact, {}, {} };
    for (std::size_t i = 0; i < components.size(); ++i) {
        const std::filesystem::path exact = PathFromText(components[i]);
        const std::string separator = i == 0 ? "" : "/";
        std::error_code error;
        if (resolved.match == ContentMatch::Missing || resolved.match == ContentMatch::Ambiguous
            || std::filesystem::exists(resolved.path / exact, error)) {
            resolved.path /= exact;
            resolved.foundName += separator + exact.native();
            continue;
        }
        const EntryMatches matches = MatchingEntries(resolved.path, components[i]);
        const auto& found = matches.exact.empty() ? matches.ignoringCase : matches.exact;
        if (found.size() == 1) {
            resolved.path /= found.front();
            resolved.foundName += separator + TextToUtf8(EntryNameText(found.front().native()));
            if (matches.exact.empty())
                resolved.match = ContentMatch::IgnoringCase;
            continue;
        }
        // The rest stays as named; opening it reports the file missing.
        if (found.size() > 1) {
            resolved.note = Candidates(found, resolved.foundName + separator);
            resolved.match = ContentMatch::Ambiguous;
        } else {
            resolved.match = ContentMatch::Missing;
        }
        resolved.path /= exact;
    }
    return resolved;
}

// Why something that exists is no content file, or the empty text for a regular file.
static std::string NotARegularFile(const std::filesystem::path& path, bool& exists)
{
    struct stat status { };
    exists = ::stat(path.c_str(), &status) == 0;
    if (!exists || S_ISREG(status.st_mode))
        return {};
    if (S_ISDIR(status.st_mode))
        return "ファイルではなくフォルダです";
    if (S_ISFIFO(status.st_mode))
        return "ファイルではなく名前付きパイプです";
    return "通常のファイルではありません (デバイスなど)";
}

ContentFile LocateContentFile(TextView folder, TextView name, TextView extension, TextView gameFolder)
{
    // A file name cannot hold a NUL: cut there, it would name another file.
    if (name.find(u'\0') != TextView::npos) {
        throw RuntimeError("ファイル名に NUL 文字があります: 「" + QuoteLine(name) + "」")
            .InEnglish("a file name holds a NUL character: \"" + QuoteLine(name) + "\"");
    }
    const Text joined = Text(folder) + Text(name) + Text(extension);
    // Only what lies below the game folder comes from the content; the folder itself is
    // the program's own and is taken as it is.
    const bool inGame = !gameFolder.empty() && BeginsWith(joined, gameFolder);
    const TextView root = inGame ? gameFolder : folder;
    const TextView relative = TextView(joined).substr(root.size());
    const std::vector<Text> components = PathComponents(relative);

    Text shown = inGame ? Text() : Text(root);
    for (std::size_t i = 0; i < components.size(); ++i)
        shown += (i == 0 ? Text() : Text(u"/")) + components[i];
    ContentFile file { {}, TextToUtf8(shown), ContentMatch::Missing, {} };

    Resolved resolved = ResolveBelow(PathFromText(root), components);
    file.path = resolved.path;
    bool exists = false;
    const std::string notAFile = NotARegularFile(file.path, exists);
    if (resolved.match == ContentMatch::Exact || resolved.match == ContentMatch::IgnoringCase) {
        if (!exists || !notAFile.empty())
            resolved.match = ContentMatch::Missing;
        resolved.note = notAFile;
    }
    file.match = resolved.match;
    if (file.match == ContentMatch::IgnoringCase)
        file.foundName = (inGame ? std::string() : TextToUtf8(root)) + resolved.foundName;
    if (!resolved.note.empty())
        file.shownName += "（" + resolved.note + "）";
    return file;
}

Text ExecutableFolder()
{
    // The link names the real file as bytes, whatever its folder's encoding; Qt's answer
    // would have decoded (and so lost) a folder name that is not UTF-8.
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    std::string folder
        = error ? QCoreApplication::applicationDirPath().toStdString() : executable.parent_path().native();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return TextFromUtf8(folder);
}

} // namespace miradel
