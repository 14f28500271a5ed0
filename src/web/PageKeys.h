// SPDX-License-Identifier: MIT
#pragma once

#include "web/PageDom.h"

#include <array>
#include <optional>
#include <string_view>

namespace miradel {

// The keys of the page, by the desktop's rules: in the message area Space, Enter and Down read
// on; with the keyboard resting on the page (as it does when the choices appear) Space and
// Enter do nothing and the arrows move onto a button; on a button the arrows move among the
// buttons on show and Enter presses it at once (not when held from before), while Space is
// left to the browser, which presses a button when Space is released on it.
struct KeyAnswer {
    enum class Action {
        Pass, // the browser's own handling (Tab, Space on a button)
        Swallow, // nothing happens
        ClickMessage,
        ClickFocused,
        MoveFocus, // onto `moveTo`
    };
    Action action = Action::Pass;
    PageElement moveTo = PageElement::Message;
};

// `key` is the KeyboardEvent's key; `repeat` whether it repeats a held key. `shown` tells which
// of the buttons are on show, indexed by PageElement (Choice0 .. NextDay), and `messageShown`
// whether the message area is.
KeyAnswer AnswerKey(std::string_view key, bool repeat, std::optional<PageElement> focused,
    const std::array<bool, 5>& buttonShown, bool messageShown);

// The buttons in tab order, and the next one on show after `from` (before it when going
// back), wrapping round; from none, the first (the last).
inline constexpr std::array<PageElement, 5> kButtonTabOrder
    = { PageElement::Choice0, PageElement::Choice1, PageElement::Choice2, PageElement::NextDay, PageElement::Choice3 };
std::optional<PageElement> NextButton(
    std::optional<PageElement> from, bool forward, const std::array<bool, 5>& buttonShown);

} // namespace miradel
