#include "ContentLookup.h"

#include <algorithm>

namespace miradel::check {

namespace fs = std::filesystem;

static bool SameIgnoringCase(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

static std::vector<std::string> Components(TextView relative)
{
    std::vector<std::string> parts;
    Text part;
    for (char16_t c : relative) {
        if (c == u'/' || c == u'\\') {
            if (!part.empty())
                parts.push_back(TextToUtf8(part));
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    if (!part.empty())
        parts.push_back(TextToUtf8(part));
    return parts;
}

static fs::path Normal(const fs::path& path)
{
    std::error_code error;
    const fs::path canonical = fs::weakly_canonical(path, error);
    return error ? path.lexically_normal() : canonical;
}

ContentLookup::ContentLookup(Text gameFolder)
    : m_gameFolder(std::move(gameFolder))
{
}

const std::vector<std::string>& ContentLookup::EntriesOf(const fs::path& folder)
{
    auto found = m_entries.find(folder);
    if (found != m_entries.end())
        return found->second;
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    return m_entries.emplace(folder, std::move(names)).first->second;
}

// The file that `relative` names when letter case is ignored, relative to the game folder,
// or the empty text; `exact` tells whether every part matched with its case as well.
std::string ContentLookup::FindIgnoringCase(TextView relative, bool& exact)
{
    exact = true;
    fs::path folder = PathFromText(m_gameFolder);
    std::string shown;
    for (const std::string& part : Components(relative)) {
        const std::vector<std::string>& entries = EntriesOf(folder);
        std::string match;
        if (std::find(entries.begin(), entries.end(), part) != entries.end()) {
            match = part;
        } else {
            const auto other = std::find_if(entries.begin(), entries.end(),
                [&part](const std::string& entry) { return SameIgnoringCase(entry, part); });
            if (other == entries.end())
                return {};
            match = *other;
            exact = false;
        }
        folder /= match;
        shown += (shown.empty() ? "" : "/") + match;
    }
    return shown;
}

void ContentLookup::MarkUsed(const fs::path& path)
{
    m_used.insert(Normal(path));
}

ContentLookup::Located ContentLookup::Locate(TextView folder, TextView name, TextView extension)
{
    const Text key = Text(folder) + u'|' + Text(name) + u'|' + Text(extension);
    if (const auto known = m_located.find(key); known != m_located.end())
        return known->second;
    Located located;
    located.file = LocateContentFile(m_gameFolder + Text(folder), name, extension, m_gameFolder);
    std::error_code error;
    const bool there = fs::is_regular_file(located.file.path, error);
    bool exact = false;
    const std::string other = FindIgnoringCase(Text(folder) + Text(name) + Text(extension), exact);
    if (there) {
        MarkUsed(located.file.path);
        located.match = exact ? Match::Exact : Match::IgnoringCase;
    } else if (!other.empty() && !exact) {
        MarkUsed(PathFromText(m_gameFolder) / other);
    }
    if (!exact)
        located.otherCase = other;
    return m_located.emplace(key, std::move(located)).first->second;
}

std::vector<std::string> ContentLookup::UnusedFiles(TextView folder) const
{
    std::vector<std::string> unused;
    const fs::path root = PathFromText(m_gameFolder);
    std::error_code error;
    for (fs::recursive_directory_iterator it(root / PathFromText(folder), error), end; !error && it != end;
         it.increment(error)) {
        if (it->is_regular_file(error) && !m_used.contains(Normal(it->path())))
            unused.push_back(it->path().lexically_relative(root).generic_string());
    }
    std::sort(unused.begin(), unused.end());
    return unused;
}

} // namespace miradel::check
