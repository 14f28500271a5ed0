// SPDX-License-Identifier: MIT
#include "reading/Backlog.h"

namespace miradel {

static constexpr TextView kWaitMark = u"▼";
// A scene of a million lines keeps its newest pages only: reading back must not cost more
// memory than a few times the largest real scene.
static constexpr std::size_t kMostCharacters = 4 * 1024 * 1024;
// As in the message area, a line that would wrap past any screen shows only its beginning.
static constexpr std::size_t kLongestShownLine = 8192;

static bool EndsInWaitMark(TextView caption)
{
    return caption.ends_with(kWaitMark);
}

void Backlog::CaptionChanging(const Text& before, TextView after)
{
    const bool pageOver = !before.empty() && (after.empty() || EndsInWaitMark(before));
    // The caption the window was made with is no page of a scene.
    if (pageOver && m_pageScene > 0)
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
    std::size_t lineLength = 0;
    for (std::size_t at = 0; at < page.size(); ++at) {
        if (page[at] == u'\r' && at + 1 < page.size() && page[at + 1] == u'\n')
            continue;
        lineLength = page[at] == u'\n' ? 0 : lineLength + 1;
        if (lineLength <= kLongestShownLine)
            history += page[at];
    }
}

Text Backlog::History(TextView currentPage) const
{
    // A blank line between pages, where the reader clicked on.
    Text history;
    for (const Page& page : m_pages) {
        AppendPage(history, page.text);
        history += u'\n';
    }
    AppendPage(history, currentPage);
    while (!history.empty() && history.back() == u'\n')
        history.pop_back();
    if (!history.empty() && history.front() == u'\n')
        history.erase(0, 1);
    return history;
}

} // namespace miradel
