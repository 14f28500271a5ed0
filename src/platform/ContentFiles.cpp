#include "platform/ContentFiles.h"

#include <QCoreApplication>
#include <QString>
#include <algorithm>
#include <system_error>
#include <vector>

namespace miradel {

std::filesystem::path PathFromText(TextView text)
{
    return std::filesystem::path(std::u16string(text));
}

Text TextFromPath(const std::filesystem::path& path)
{
    // Qt, like std::filesystem here, takes file names as UTF-8 whatever the locale.
    return QString::fromUtf8(path.native()).toStdU16String();
}

static bool IsSeparator(char16_t c)
{
    return c == u'/' || c == u'\\';
}

static std::vector<Text> SplitComponents(TextView relative)
{
    std::vector<Text> components;
    Text current;
    for (const char16_t c : relative) {
        if (!IsSeparator(c)) {
            current += c;
        } else if (!current.empty()) {
            components.push_back(std::move(current));
            current.clear();
        }
    }
    if (!current.empty())
        components.push_back(std::move(current));
    return components;
}

// The entries of `folder` whose names equal `component` when letter case is ignored
// (Unicode case folding, as Windows also folds full-width letters).
static std::vector<std::filesystem::path> CaseInsensitiveMatches(const std::filesystem::path& folder, const Text& component)
{
    std::vector<std::filesystem::path> matches;
    const QString wanted = QString::fromStdU16String(component);
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::filesystem::path entryName = it->path().filename();
        if (QString::fromUtf8(entryName.native()).compare(wanted, Qt::CaseInsensitive) == 0)
            matches.push_back(entryName);
    }
    std::sort(matches.begin(), matches.end());
    return matches;
}

struct Resolved {
    std::filesystem::path path;
    std::string ambiguity; // empty, or the candidates that could not be told apart
};

static Resolved ResolveBelow(const std::filesystem::path& root, const std::vector<Text>& components, const std::string& shownFolder)
{
    Resolved resolved { root, {} };
    bool found = true;
    std::string shown = shownFolder;
    for (const Text& component : components) {
        const std::filesystem::path exact = PathFromText(component);
        std::error_code error;
        if (!found || std::filesystem::exists(resolved.path / exact, error)) {
            resolved.path /= exact;
            shown += TextToUtf8(component) + "/";
            continue;
        }
        const auto matches = CaseInsensitiveMatches(resolved.path, component);
        if (matches.size() == 1) {
            resolved.path /= matches.front();
            shown += matches.front().string() + "/";
            continue;
        }
        if (matches.size() > 1) {
            resolved.ambiguity = "大文字と小文字だけが違う候補が " + std::to_string(matches.size()) + " つあり、どれとも決められません:";
            for (const auto& match : matches)
                resolved.ambiguity += " " + shown + match.string();
        }
        // The rest stays as named; opening it reports the file missing.
        resolved.path /= exact;
        found = false;
    }
    return resolved;
}

ContentFile LocateContentFile(TextView folder, TextView name, TextView extension, TextView gameFolder)
{
    const Text joined = Text(folder) + Text(name) + Text(extension);
    // Only what lies below the game folder comes from the content; the folder itself is
    // the program's own and is taken as it is.
    const bool inGame = !gameFolder.empty() && BeginsWith(joined, gameFolder);
    const TextView root = inGame ? gameFolder : folder;
    const TextView relative = TextView(joined).substr(root.size());
    const std::vector<Text> components = SplitComponents(relative);

    Text shown = inGame ? Text() : Text(root);
    for (std::size_t i = 0; i < components.size(); ++i)
        shown += (i == 0 ? Text() : Text(u"/")) + components[i];
    ContentFile file { {}, TextToUtf8(shown) };

    const Resolved resolved = ResolveBelow(PathFromText(root), components, inGame ? std::string() : TextToUtf8(root));
    file.path = resolved.path;
    if (!resolved.ambiguity.empty())
        file.shownName += "（" + resolved.ambiguity + "）";
    return file;
}

Text ExecutableFolder()
{
    // applicationDirPath() is the folder of the real file, not of a link to it, written
    // with "/", which every platform's file functions accept.
    QString folder = QCoreApplication::applicationDirPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder.toStdU16String();
}

} // namespace miradel
