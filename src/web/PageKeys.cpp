// SPDX-License-Identifier: MIT
#include "web/PageKeys.h"

#include <algorithm>

namespace miradel {

static bool IsButton(PageElement element)
{
    return std::find(kButtonTabOrder.begin(), kButtonTabOrder.end(), element) != kButtonTabOrder.end();
}

std::optional<PageElement> NextButton(
    std::optional<PageElement> from, bool forward, const std::array<bool, 5>& buttonShown)
{
    const int count = static_cast<int>(kButtonTabOrder.size());
    int position = forward ? -1 : count;
    if (from) {
        const auto found = std::find(kButtonTabOrder.begin(), kButtonTabOrder.end(), *from);
        if (found != kButtonTabOrder.end())
            position = static_cast<int>(found - kButtonTabOrder.begin());
    }
    for (int step = 1; step <= count; ++step) {
        const int index = ((position + (forward ? step : -step)) % count + count) % count;
        const PageElement candidate = kButtonTabOrder[static_cast<std::size_t>(index)];
        if (buttonShown[static_cast<std::size_t>(candidate)])
            return candidate;
    }
    return std::nullopt;
}

KeyAnswer AnswerKey(std::string_view key, bool repeat, std::optional<PageElement> focused,
    const std::array<bool, 5>& buttonShown, bool messageShown)
{
    using Action = KeyAnswer::Action;
    const bool arrow = key == "ArrowUp" || key == "ArrowDown" || key == "ArrowLeft" || key == "ArrowRight";
    const bool forward = key == "ArrowDown" || key == "ArrowRight";
    const bool enter = key == "Enter";
    const bool space = key == " " || key == "Spacebar";

    // The message area has the keyboard while it shows, also when the player clicked beside it.
    const bool reading = focused ? *focused == PageElement::Message : messageShown;
    if (reading) {
        if (space || enter || key == "ArrowDown")
            return { Action::ClickMessage };
        return { Action::Pass };
    }
    const bool onButton = focused && IsButton(*focused);
    if (arrow) {
        const auto next = NextButton(onButton ? focused : std::nullopt, forward, buttonShown);
        return next ? KeyAnswer { Action::MoveFocus, *next } : KeyAnswer { Action::Swallow };
    }
    if (!onButton)
        return space || enter ? KeyAnswer { Action::Swallow } : KeyAnswer { Action::Pass };
    if (enter)
        return { repeat ? Action::Swallow : Action::ClickFocused };
    return { Action::Pass };
}

} // namespace miradel
