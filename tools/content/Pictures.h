// SPDX-License-Identifier: MIT
#pragma once

#include <QPainter>

#include <span>
#include <string_view>

namespace miradel::content {

// The day and choice pictures have a second frame that the player flashes while text runs.
enum class Frame { Normal, Blink };

using PaintFunction = void (*)(QPainter&, Frame);

struct PictureRecipe {
    std::string_view name;
    PaintFunction paint;
    bool blinks;
};

// Every picture the game shows, by the name it is shown under: the title, the day and
// choice pictures "0" to "4" (silver cloud, golden moon, the empty night, the loom room on
// the fourth night, the pearl) and the three endings.
std::span<const PictureRecipe> AllPictures();

} // namespace miradel::content
