// SPDX-License-Identifier: MIT
#include "web/PageKeys.h"

#include <gtest/gtest.h>

namespace miradel {
namespace {

using Action = KeyAnswer::Action;
constexpr std::array<bool, 5> kThreeChoices = { true, true, true, false, false };
constexpr std::array<bool, 5> kAllChoices = { true, true, true, true, false };
constexpr std::array<bool, 5> kNextDayOnly = { false, false, false, false, true };

TEST(PageKeys, SpaceEnterAndDownReadOnInTheMessageArea)
{
    for (const char* key : { " ", "Enter", "ArrowDown" }) {
        EXPECT_EQ(AnswerKey(key, false, PageElement::Message, {}, true).action, Action::ClickMessage) << key;
        // A click beside the message area took the keyboard off it: it still reads on.
        EXPECT_EQ(AnswerKey(key, true, std::nullopt, {}, true).action, Action::ClickMessage) << key;
    }
    EXPECT_EQ(AnswerKey("ArrowUp", false, PageElement::Message, {}, true).action, Action::Pass);
    EXPECT_EQ(AnswerKey("Tab", false, PageElement::Message, {}, true).action, Action::Pass);
}

// When the choices appear the keyboard rests on the page: the key that read the last line
// cannot take a choice; only an arrow moves onto one.
TEST(PageKeys, RestingOnThePageOnlyTheArrowsMoveOntoAButton)
{
    EXPECT_EQ(AnswerKey(" ", false, std::nullopt, kThreeChoices, false).action, Action::Swallow);
    EXPECT_EQ(AnswerKey("Enter", false, std::nullopt, kThreeChoices, false).action, Action::Swallow);
    EXPECT_EQ(AnswerKey("Tab", false, std::nullopt, kThreeChoices, false).action, Action::Pass);

    const KeyAnswer down = AnswerKey("ArrowDown", false, std::nullopt, kThreeChoices, false);
    EXPECT_EQ(down.action, Action::MoveFocus);
    EXPECT_EQ(down.moveTo, PageElement::Choice0);
    const KeyAnswer up = AnswerKey("ArrowUp", false, std::nullopt, kAllChoices, false);
    EXPECT_EQ(up.action, Action::MoveFocus);
    EXPECT_EQ(up.moveTo, PageElement::Choice3);
}

TEST(PageKeys, OnAButtonEnterPressesAtOnceAndArrowsGoRoundTheButtonsOnShow)
{
    EXPECT_EQ(AnswerKey("Enter", false, PageElement::Choice1, kThreeChoices, false).action, Action::ClickFocused);
    // Held from before (the key that read the last line), it presses nothing.
    EXPECT_EQ(AnswerKey("Enter", true, PageElement::NextDay, kNextDayOnly, false).action, Action::Swallow);
    // Space is the browser's: it presses a button when released on it.
    EXPECT_EQ(AnswerKey(" ", false, PageElement::Choice1, kThreeChoices, false).action, Action::Pass);

    // Tab order: the choices 0 to 2, the next-day button, the fourth choice.
    EXPECT_EQ(AnswerKey("ArrowDown", false, PageElement::Choice2, kAllChoices, false).moveTo, PageElement::Choice3);
    EXPECT_EQ(AnswerKey("ArrowRight", false, PageElement::Choice3, kAllChoices, false).moveTo, PageElement::Choice0);
    EXPECT_EQ(AnswerKey("ArrowLeft", false, PageElement::Choice0, kThreeChoices, false).moveTo, PageElement::Choice2);
    EXPECT_EQ(AnswerKey("ArrowUp", false, PageElement::Choice2, kThreeChoices, false).moveTo, PageElement::Choice1);
}

} // namespace
} // namespace miradel
