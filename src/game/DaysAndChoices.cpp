// SPDX-License-Identifier: MIT
#include "game/DaysAndChoices.h"

#include "game/GameState.h"
#include "game/GameView.h"
#include "platform/Random.h"

namespace miradel {

static constexpr int kLowDrawAtMost = 30;
static constexpr std::uint8_t kDaysInRound = 4;

DaysAndChoices::DaysAndChoices(GameState& game, GameView& view, RandomSource& random, DaysAndChoicesHost& host)
    : m_game(game)
    , m_view(view)
    , m_random(random)
    , m_host(host)
{
}

void DaysAndChoices::ComGame_Click()
{
    m_game.dayPending = false;
    m_game.day = static_cast<std::uint8_t>(m_game.day % kDaysInRound + 1);
    m_view.ShowDay(m_game.day);
    if (m_game.AllSlotsUsed()) {
        const Text ending = u"end" + DecimalText(m_game.lastChoice);
        m_host.ShowPicture(ending);
        m_host.OpenScene(ending);
    } else if (m_game.day == kDaysInRound) {
        m_host.ShowPicture(u"3");
        m_host.OpenScene(u"3");
    } else if (!m_game.SlotFree(m_game.day)) {
        m_host.ShowPicture(u"ttl");
        m_host.OpenScene(u"not");
    } else {
        const Text name = DecimalText(m_game.day - 1);
        m_host.ShowPicture(name);
        m_host.OpenScene(name);
    }
}

void DaysAndChoices::Com_Click(int Index)
{
    m_game.dayPending = true;
    if (Index == kFourthChoice)
        ChooseFourth();
    else
        ChooseRegular(Index);
}

bool DaysAndChoices::LowDraw()
{
    return DrawPercent(m_random) <= kLowDrawAtMost;
}

void DaysAndChoices::ChooseFourth()
{
    // The fourth choice uses nothing up and records nothing.
    m_host.ShowPicture(u"4");
    if (LowDraw())
        m_host.OpenScene(u"33");
    else
        m_host.OpenScene(DecimalText(m_game.day - 1) + u"3");
}

void DaysAndChoices::ChooseRegular(int index)
{
    if (m_game.day != kDaysInRound) {
        m_game.dayChoices.at(m_game.day - 1u) = static_cast<std::uint8_t>(index);
        // Read as they stand, entries left by an earlier game included; never closes again.
        if (m_game.dayChoices[0] == 2 && m_game.dayChoices[1] == 0 && m_game.dayChoices[2] == 1)
            m_game.secretOpen = true;
    }
    m_host.ShowPicture(DecimalText(index));
    if (LowDraw()) {
        m_game.lastChoice = static_cast<std::uint8_t>(index);
        m_host.OpenScene(u"3" + DecimalText(index));
        m_game.choiceSlots.at(static_cast<std::size_t>(index)).reset();
    } else {
        m_host.OpenScene(DecimalText(m_game.day - 1) + DecimalText(index));
    }
}

void DaysAndChoices::ShowChoices(bool visible)
{
    for (int i = 0; i < kFourthChoice; ++i)
        m_view.ShowChoice(i, m_game.SlotFree(i + 1) ? visible : false);
    m_view.ShowChoice(kFourthChoice, m_game.secretOpen ? visible : false);
}

} // namespace miradel
