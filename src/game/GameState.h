// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace miradel {

// The state of one game of days and choices, kept by the window for the whole run.
struct GameState {
    // Slot k (index k - 1) belongs to choice button k - 1 and to day k: free, it holds its own
    // number k; used, it holds nothing.
    std::array<std::optional<std::int16_t>, 3> choiceSlots {};
    std::uint8_t day = 0;
    // True: the scene on show ends with the next-day button; false: with the choices.
    bool dayPending = false;
    // Survive a new game: the choice used up last, and the choice taken on days 1 to 3.
    std::uint8_t lastChoice = 0;
    std::array<std::uint8_t, 3> dayChoices {};
    bool secretOpen = false;

    bool SlotFree(int k) const { return choiceSlots.at(static_cast<std::size_t>(k - 1)).has_value(); }
    bool AllSlotsUsed() const { return !SlotFree(1) && !SlotFree(2) && !SlotFree(3); }
};

} // namespace miradel
