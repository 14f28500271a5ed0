// SPDX-License-Identifier: MIT
#include "picture/PictureDisplay.h"

#include "game/GameView.h"
#include "game/SceneNames.h"
#include "platform/Random.h"

#include <algorithm>

namespace miradel {

static constexpr int kBlinkAtMost = 20;

PictureDisplay::PictureDisplay(GameView& view, RandomSource& random)
    : m_view(view)
    , m_random(random)
{
}

void PictureDisplay::ShowPicture(TextView name)
{
    m_view.ClearPicture();
    if (name == kBlinkFrameSuffix) {
        m_view.LoadPicture(currentPicture + Text(kBlinkFrameSuffix));
    } else if (!name.empty()) {
        currentPicture = name;
        m_view.LoadPicture(name);
    }
    m_view.PaintPicture(currentPicture);
}

void PictureDisplay::BlinkStep()
{
    const auto& blinking = BlinkingPictures();
    if (std::find(blinking.begin(), blinking.end(), currentPicture) == blinking.end())
        return;
    if (DrawPercent(m_random) > kBlinkAtMost) {
        const Text normalFrame = currentPicture;
        ShowPicture(normalFrame);
    } else {
        ShowPicture(kBlinkFrameSuffix);
    }
}

} // namespace miradel
