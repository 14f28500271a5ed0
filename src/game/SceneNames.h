// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

#include <array>
#include <vector>

namespace miradel {

// Every scene and picture name that the game itself opens (scenes may name more pictures).
const std::vector<Text>& ScenesTheGameOpens();
const std::vector<Text>& PicturesTheGameShows();
// The pictures that blink, each with a blink frame named after it with "_".
const std::vector<Text>& BlinkingPictures();
inline constexpr TextView kBlinkFrameSuffix = u"_";

// The captions of the choice buttons `Com(0)` to `Com(3)`; they never change.
inline constexpr std::array<TextView, 4> kChoiceCaptions = { u"白銀の雲", u"黄金の月", u"なにもない", u"真珠色" };

} // namespace miradel
