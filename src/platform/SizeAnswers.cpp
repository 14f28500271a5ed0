// SPDX-License-Identifier: MIT
#include "platform/SizeAnswers.h"

#include <algorithm>

namespace miradel {

void SizeAnswers::Asked(int width, int height)
{
    if (m_pending.size() == kPendingKept)
        m_pending.erase(m_pending.begin());
    m_pending.emplace_back(width, height);
}

SizeAnswers::Answer SizeAnswers::Note(int width, int height)
{
    const std::pair size { width, height };
    if (m_pending.empty())
        return Answer::Outside;
    // A layout run may set the width and then the height: the answers come in that order, or
    // only the last of them.
    const auto ours = std::find(m_pending.begin(), m_pending.end(), size);
    if (ours != m_pending.end()) {
        m_pending.erase(m_pending.begin(), ours + 1);
        return Answer::Ours;
    }
    // Not ours: either the window system forces the size we set back from again, or another
    // change from outside came, which the toolkit may have merged with our answers.
    m_pending.clear();
    const bool refused = m_settingBackFrom == size;
    m_settingBackFrom.reset();
    return refused ? Answer::Refused : Answer::Outside;
}

} // namespace miradel
