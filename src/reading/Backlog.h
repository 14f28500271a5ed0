// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

#include <cstddef>
#include <deque>

namespace miradel {

// The pages the message area has shown, kept for reading back: those of the scene on show
// (or the one that just ended) and of the scene before it. It learns of pages by watching
// the message area's caption: a page is over when the caption is cleared, or when it ended
// in the wait mark and the next line begins a new page.
class Backlog {
public:
    // Told of every caption of the message area before it takes the place of `before`.
    void CaptionChanging(const Text& before, TextView after);
    // A scene opens: pages of the scene before the previous one are let go.
    void SceneOpened();

    // The kept pages and then `currentPage`, oldest first: lines joined with LF, a blank line
    // between pages, the wait marks left out, no blank line at the start or the end.
    Text History(TextView currentPage) const;
    std::size_t PagesKept() const { return m_pages.size(); }

private:
    struct Page {
        unsigned scene;
        Text text;
    };
    void Keep(const Text& page);

    std::deque<Page> m_pages;
    std::size_t m_characters = 0;
    unsigned m_scene = 0;
    unsigned m_pageScene = 0;
};

} // namespace miradel
