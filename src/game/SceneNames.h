#pragma once

#include "platform/Text.h"

#include <vector>

namespace miradel {

// Every scene and picture name that the game itself opens (scenes may name more pictures).
const std::vector<Text>& ScenesTheGameOpens();
const std::vector<Text>& PicturesTheGameShows();
// The pictures that blink, each with a blink frame named after it with "_".
const std::vector<Text>& BlinkingPictures();
inline constexpr TextView kBlinkFrameSuffix = u"_";

} // namespace miradel
