// SPDX-License-Identifier: MIT
#include "ContentLookup.h"

#include <algorithm>

namespace miradel::check {

namespace fs = std::filesystem;

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

const ContentFile& ContentLookup::Locate(TextView folder, TextView name, TextView extension)
{
    const Text key = Text(folder) + u'|' + Text(name) + u'|' + Text(extension);
    if (const auto known = m_located.find(key); known != m_located.end())
        return known->second;
    ContentFile file = LocateContentFile(m_gameFolder + Text(folder), name, extension, m_gameFolder);
    if (file.Found())
        m_used.insert(Normal(file.path));
    return m_located.emplace(key, std::move(file)).first->second;
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
