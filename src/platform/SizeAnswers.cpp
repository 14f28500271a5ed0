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
    if (m_pending.empty())
        return Answer::Outside;
    // A layout run may set the width and then the height: the answers come in that order.
    const auto ours = std::find(m_pending.begin(), m_pending.end(), std::pair { width, height });
    if (ours != m_pending.end()) {
        m_pending.erase(m_pending.begin(), ours + 1);
        return Answer::Ours;
    }
    m_pending.clear();
    return Answer::Refused;
}

} // namespace miradel
