// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Text.h"

namespace miradel {

class GameView;
class RandomSource;

// Shows one named picture at a time, stretched over the whole picture area, and makes the
// day and choice pictures blink while the text is being revealed. Every picture is loaded
// into the hidden buffer first and painted from there; nothing is cached, so each call
// with a name reads its file anew.
class PictureDisplay {
public:
    PictureDisplay(GameView& view, RandomSource& random);

    // "_" shows the blink frame of the current picture; the empty name repaints the buffer.
    void ShowPicture(TextView name);
    // The last step of every tick of the pacing timer.
    void BlinkStep();

    const Text& CurrentPicture() const { return currentPicture; }

private:
    GameView& m_view;
    RandomSource& m_random;
    Text currentPicture;
};

} // namespace miradel
