// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <vector>

namespace miradel::content {

inline constexpr int kSampleRate = 44100;

// The bundled game's lullaby: sixteen bars of a waltz for music box over a soft broken-chord
// accompaniment, about half a minute long. It starts from silence and fades to exact silence,
// so the player's restart from the beginning is heard as a clean return to the first bar.
std::vector<std::int16_t> RenderLullaby();

} // namespace miradel::content
