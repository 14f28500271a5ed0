// SPDX-License-Identifier: MIT
#include "web/PageKeys.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

// In the message area Space, Enter and Down read on; resting on the page only the arrows move
// onto a button; on a button Enter presses it unless held from before, and the arrows go round
// the buttons on show in tab order: the choices 0 to 2, the next-day button, the fourth choice.
TEST(PageKeys, AnswerByKeyAndWhereTheKeyboardIs)
{
    using enum KeyAnswer::Action;
    using enum PageElement;
    constexpr std::array<bool, 5> three = { true, true, true, false, false }, four = { true, true, true, true, false };
    constexpr std::array<bool, 5> nextDay = { false, false, false, false, true };
    // The key, whether it repeats, where the keyboard is, the buttons on show, the message area on
    // show: the answer.
    const std::tuple<const char*, bool, std::optional<PageElement>, std::array<bool, 5>, bool, KeyAnswer> rows[] = {
        { " ", false, Message, {}, true, { ClickMessage } },
        { "Enter", true, Message, {}, true, { ClickMessage } },
        { "ArrowDown", false, std::nullopt, {}, true, { ClickMessage } },
        { "ArrowUp", false, Message, {}, true, { Pass } },
        { "Tab", false, Message, {}, true, { Pass } },
        { " ", false, std::nullopt, three, false, { Swallow } },
        { "Enter", false, std::nullopt, three, false, { Swallow } },
        { "Tab", false, std::nullopt, three, false, { Pass } },
        { "ArrowDown", false, std::nullopt, three, false, { MoveFocus, Choice0 } },
        { "ArrowUp", false, std::nullopt, four, false, { MoveFocus, Choice3 } },
        { "Enter", false, Choice1, three, false, { ClickFocused } },
        { "Enter", true, NextDay, nextDay, false, { Swallow } },
        { " ", false, Choice1, three, false, { Pass } },
        { "ArrowDown", false, Choice2, four, false, { MoveFocus, Choice3 } },
        { "ArrowRight", false, Choice3, four, false, { MoveFocus, Choice0 } },
        { "ArrowLeft", false, Choice0, three, false, { MoveFocus, Choice2 } },
        { "ArrowUp", false, Choice2, three, false, { MoveFocus, Choice1 } },
    };
    for (const auto& [key, repeat, focused, shown, messageShown, expected] : rows) {
        const KeyAnswer answer = AnswerKey(key, repeat, focused, shown, messageShown);
        EXPECT_EQ(std::pair(answer.action, answer.moveTo), std::pair(expected.action, expected.moveTo))
            << "'" << key << "' " << focused.has_value();
    }
}

} // namespace
} // namespace miradel
