// SPDX-License-Identifier: MIT
#include "reading/ReadingKeys.h"

#include <algorithm>

namespace miradel {

static ReadingAction Fresh(bool repeat, ReadingAction action)
{
    return repeat ? ReadingAction::Swallow : action;
}

ReadingAction AnswerReadingKey(ReadingKey key, KeyModifiers modifiers, bool repeat, bool backlogOpen, bool fullScreen)
{
    if (key == ReadingKey::Control)
        return ReadingAction::HoldSkip;
    if (backlogOpen) {
        // Nothing else reaches the game under the backlog.
        switch (key) {
        case ReadingKey::Escape:
        case ReadingKey::Enter:
        case ReadingKey::Space:
            return Fresh(repeat, ReadingAction::CloseBacklog);
        case ReadingKey::PageUp:
            return ReadingAction::PageBack;
        case ReadingKey::PageDown:
            return ReadingAction::PageOn;
        case ReadingKey::Up:
            return ReadingAction::LineBack;
        case ReadingKey::Down:
            return ReadingAction::LineOn;
        default:
            return ReadingAction::Swallow;
        }
    }
    const bool isAltOnly = modifiers.alt && !modifiers.shift && !modifiers.control && !modifiers.meta;
    if ((key == ReadingKey::F11 && modifiers.None()) || (key == ReadingKey::Enter && isAltOnly))
        return Fresh(repeat, ReadingAction::ToggleFullScreen);
    if (key == ReadingKey::Escape && fullScreen)
        return Fresh(repeat, ReadingAction::ToggleFullScreen);
    const bool shiftAtMost = !modifiers.control && !modifiers.alt && !modifiers.meta;
    if (key == ReadingKey::S && shiftAtMost)
        return Fresh(repeat, ReadingAction::ToggleSkip);
    if (key == ReadingKey::PageUp)
        return ReadingAction::OpenBacklog;
    // The arrow keys, Tab, Space and Enter go on to the controls, which keep a choice from
    // being taken blind.
    return ReadingAction::Pass;
}

int WheelNotches::Add(int away)
{
    if ((away > 0) != (m_turned > 0))
        m_turned = 0;
    m_turned += away;
    const int notches = m_turned / kWheelNotch;
    m_turned -= notches * kWheelNotch;
    return notches;
}

std::optional<int> BacklogScrolled(int firstLine, int lastFirstLine, int lines)
{
    if (lines > 0 && firstLine >= lastFirstLine)
        return std::nullopt;
    return std::clamp(firstLine + lines, 0, std::max(0, lastFirstLine));
}

} // namespace miradel
