#include "app/Backlog.h"

namespace miradel {

static constexpr TextView kWaitMark = u"▼";
// A scene of a million lines keeps its newest pages only: reading back must not cost more
// memory than a few times the largest real scene.
static constexpr std::size_t kMostCharacters = 4 * 1024 * 1024;

static bool EndsInWaitMark(TextView caption)
{
    return caption.ends_with(kWaitMark);
}

void Backlog::CaptionChanging(const Text& before, TextView after)
{
    const bool pageOver = !before.empty() && (after.empty() || EndsInWaitMark(before));
    if (pageOver)
        Keep(before);
    if ((before.empty() || pageOver) && !after.empty())
        m_pageScene = m_scene;
}

void Backlog::SceneOpened()
{
    ++m_scene;
    while (!m_pages.empty() && m_pages.front().scene + 1 < m_scene) {
        m_characters -= m_pages.front().text.size();
        m_pages.pop_front();
    }
}

void Backlog::Keep(const Text& page)
{
    m_pages.push_back({ m_pageScene, page });
    m_characters += page.size();
    while (m_characters > kMostCharacters && m_pages.size() > 1) {
        m_characters -= m_pages.front().text.size();
        m_pages.pop_front();
    }
}

static void AppendPage(Text& history, TextView page)
{
    if (EndsInWaitMark(page))
        page.remove_suffix(kWaitMark.size());
    for (std::size_t at = 0; at < page.size(); ++at) {
        if (page[at] == u'\r' && at + 1 < page.size() && page[at + 1] == u'\n')
            continue;
        history += page[at];
    }
}

Text Backlog::History(TextView currentPage) const
{
    Text history;
    for (const Page& page : m_pages)
        AppendPage(history, page.text);
    AppendPage(history, currentPage);
    if (!history.empty() && history.front() == u'\n')
        history.erase(0, 1);
    return history;
}

} // namespace miradel
